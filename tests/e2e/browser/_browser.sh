# shellcheck shell=bash
# Shared by the browser suite: live popup requests from StandInBrowser.exe, the stand-in browser,
# answered by QuellPane.exe. Every request a script raises goes through these functions, so that
# BR_REQUESTS stays the stand-in's own request number and each answer is read from its log line.
# shellcheck source=../lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../lib.sh"

# platform/standin/StandInProtocol.h
BR_ADDRESS_EDIT=101
BR_GO_BUTTON=102
BR_RAISE_SELECTOR=104
BR_POPUP_BUTTON=106
BR_NEW_WINDOW_BUTTON=107
# Messages a browser window takes from the driver: requests from every window, a burst from
# one, open-and-close cycles.
BR_POPUP_EVERYWHERE=0x8003
BR_BURST=0x8004
BR_WINDOW_CYCLES=0x8005
BR_CAPTION_PREFIX="Stand-in Browser - "
BR_BROWSER_CLASS=QuellPaneStandInBrowser
# The link's middle, in the stand-in's design pixels (client area 560 wide).
BR_LINK_X=150
BR_LINK_Y=49
BR_DESIGN_WIDTH=560

BR_PROMPT_CAPTION="Popup Detected!"

BR_STANDIN=""        # the stand-in's Wine process
BR_LOG=""            # its request log, in the test's program folder
BR_REQUESTS=0        # requests it has raised so far
BR_REQUEST=0         # the latest one
BR_PROMPT=""         # the open prompt's handle

br_fail() {
    if [ -s "$BR_LOG" ]; then
        echo "  stand-in log:" >&2
        tail -n 12 "$BR_LOG" | sed 's/^/    /' >&2
    fi
    e2e_fail "$@"
}

# A fresh program folder and settings; the help window stays closed.
br_begin() {
    e2e_begin
    e2e_set_setting showHelp 0
    BR_LOG="$E2E_DIR/standin.log"
}

# StandInBrowser.exe in the background, logging into the program folder; returns once its first
# window, on the address given, is shown.
br_standin_start() {  # address [stand-in options...]
    [ -f "$E2E_BIN/StandInBrowser.exe" ] || e2e_fail "no $E2E_BIN/StandInBrowser.exe: build first"
    e2e_spawn "$E2E_BIN/StandInBrowser.exe" --log "$E2E_WIN_DIR\\standin.log" --url "$@"
    BR_STANDIN="${E2E_SPAWNED[-1]}"
    BR_REQUESTS=0
    br_window_captioned "$1" --timeout 30000 >/dev/null
}

# Closes every stand-in window; the process must then end cleanly, every COM object released.
br_standin_stop() {
    local window
    for window in $(br_browser_windows); do
        # Wine once ended a close with status 1 and not a word from the driver, the window still
        # shown (once in many runs, after the program's exit): one more try. A window that will
        # not close keeps the stand-in running, which the wait below reports.
        if ! e2e_driver close "$window" && br_browser_windows | grep -qx "$window"; then
            e2e_log "closing $window failed; once more"
            e2e_driver close "$window" || true
        fi
    done
    e2e_process_ends 300 "$BR_STANDIN" ||
        br_fail "the stand-in still runs 30 s after its windows were closed"
    local status=0
    wait "$BR_STANDIN" || status=$?
    local others=() pid
    for pid in "${E2E_SPAWNED[@]}"; do
        [ "$pid" = "$BR_STANDIN" ] || others+=("$pid")
    done
    E2E_SPAWNED=("${others[@]}")
    e2e_expect_equal 0 "$status" "the stand-in's exit status"
    e2e_expect_equal "exit live-objects=0" "$(tail -n 1 "$BR_LOG" | tr -d '\r')" \
        "the stand-in's last log line"
}

# The stand-in's shown windows, one handle a line.
br_browser_windows() {
    e2e_driver list-windows | awk -v class="class=$BR_BROWSER_CLASS" \
        '$3 == "visible=1" && $4 == class { print $1 }'
}

br_window_captioned() {  # address [quelldriver options...]
    e2e_driver wait-window --title "$BR_CAPTION_PREFIX$1" --class "$BR_BROWSER_CLASS" --visible \
        "${@:2}"
}

# A button's click as its notification, posted: the stand-in acts on it between requests. (Wine
# was seen to lose a posted BM_CLICK about once in a few thousand.)
br_press() {  # window button
    e2e_driver post-message "$1" WM_COMMAND "$2"
}

# The window the "New window" button of another one opens (on about:blank).
br_new_window() {  # window
    local before window
    before="$(br_browser_windows)"
    br_press "$1" "$BR_NEW_WINDOW_BUTTON"
    for _ in $(seq 100); do
        for window in $(br_browser_windows); do
            if ! grep -qx "$window" <<<"$before"; then
                echo "$window"
                return 0
            fi
        done
        sleep 0.1
    done
    br_fail "no new stand-in window 10 s after \"New window\""
}

# Types an address and presses "Go"; done once the caption shows it.
br_navigate() {  # window address
    e2e_driver set-text "$1" "$BR_ADDRESS_EDIT" "$2"
    br_press "$1" "$BR_GO_BUTTON"
    e2e_driver text "$1" --expect "$BR_CAPTION_PREFIX$2" >/dev/null
}

# Which events the next requests raise: the selector's items in --raise order 2, 3, 23, 32.
br_select_events() {  # window index
    e2e_driver send-message "$1" 0x14E "$2" 0 --control "$BR_RAISE_SELECTOR" >/dev/null
}

# --- requests ---

# The "Popup" button: the stand-in's request waits for QuellPane's answer.
br_popup() {  # window
    br_press "$1" "$BR_POPUP_BUTTON"
    BR_REQUEST=$((++BR_REQUESTS))
}

# The real mouse onto the window's link, then a real click on it: moving over the link makes
# the stand-in report the link's address as its status text, before the click's request.
br_click_link() {  # window
    local width left top
    IFS='x+' read -r width _ left top <<<"$(e2e_driver screenshot-rect "$1")"
    # From elsewhere: a pointer already in place would not move, and nothing would hover.
    e2e_mouse_park
    xdotool mousemove $((left + BR_LINK_X * width / BR_DESIGN_WIDTH)) \
        $((top + BR_LINK_Y * width / BR_DESIGN_WIDTH)) click 1
    BR_REQUEST=$((++BR_REQUESTS))
}

# The log line of a request, once the stand-in has its answer; status 1 if not within 20 s.
br_request_line() {  # request [tenths]
    e2e_wait_until "${2:-200}" grep -m 1 "^request=$1 " "$BR_LOG" 2>/dev/null
}

# The answer the stand-in got for a request: cancel and opened, and which events it raised.
# QuellPane listens to each window once: one sink, or every request would be decided twice.
br_expect_request() {  # request cancel opened [events]
    local line pair
    line="$(br_request_line "$1")" || br_fail "no answer to request $1 within 20 s"
    for pair in "cancel=$2" "opened=$3" sinks=1 ${4:+"events=$4"}; do
        if [[ " $line " != *" $pair "* ]]; then
            br_fail "request $1: expected $pair, saw: $line"
        fi
    done
}

# The latest request answered without asking the user: an answer arrived (a question would
# hold it) and no prompt is shown.
br_expect_unasked() {  # cancel opened [events]
    br_expect_request "$BR_REQUEST" "$@"
    if e2e_driver wait-window --title "$BR_PROMPT_CAPTION" --visible --timeout 0 \
        >/dev/null 2>&1; then
        br_fail "request $BR_REQUEST was answered, but a prompt is shown"
    fi
}

# --- the prompt ---

# The prompt, once shown (BR_PROMPT), with the site key in its text box.
br_expect_prompt() {  # site
    BR_PROMPT="$(e2e_driver wait-window --title "$BR_PROMPT_CAPTION" --visible)" ||
        br_fail "no prompt for request $BR_REQUEST"
    e2e_driver text "$BR_PROMPT" Text1 --expect "$1" >/dev/null
}

# Popups raised by the command (br_popup or br_click_link and a window) until QuellPane asks
# about one (BR_PROMPT). A request answered at once came before QuellPane had attached to the
# window: a stand-in started after it is found by a timer, and the first refresh may still run
# when the main window shows.
br_ask() {  # site command window
    for _ in $(seq 10); do
        "${@:2}"
        for _ in $(seq 30); do
            if BR_PROMPT="$(e2e_driver wait-window --title "$BR_PROMPT_CAPTION" --visible \
                --timeout 200 2>/dev/null)"; then
                e2e_driver text "$BR_PROMPT" Text1 --expect "$1" >/dev/null
                return 0
            fi
            if br_request_line "$BR_REQUEST" 0 >/dev/null; then
                e2e_log "not attached yet: $(br_request_line "$BR_REQUEST")"
                continue 2
            fi
        done
        break
    done
    br_fail "QuellPane never asked about a popup raised by: ${*:2}"
}

# Popups from a window until QuellPane blocks one without asking (setup mode off); the earlier
# ones came before it had attached.
br_blocked_once_attached() {  # window
    local line
    for _ in $(seq 30); do
        br_popup "$1"
        line="$(br_request_line "$BR_REQUEST")" || br_fail "no answer to request $BR_REQUEST"
        if [[ " $line " == *" cancel=1 "* ]]; then
            return 0
        fi
        e2e_log "not attached yet: $line"
    done
    br_fail "QuellPane never blocked a popup from window $1"
}

# Each window heard, about its own site: its popup brings up the prompt, and is blocked.
br_expect_heard() {  # "window site"...
    local pair window site
    for pair in "$@"; do
        read -r window site <<<"$pair"
        br_popup "$window"
        br_expect_prompt "$site"
        br_answer "Block Now"
        br_expect_request "$BR_REQUEST" 1 0
    done
}

# One of the prompt's four buttons, by its caption, or "close" for its close box; done when
# the prompt is gone (Wine without a window manager takes two seconds to hide a window).
br_answer() {  # "Block Now" | "Block Always" | "Allow Now" | "Allow Always" | close
    local button
    case "$1" in
        "Allow Always") button=Command1 ;;
        "Block Always") button=Command2 ;;
        "Allow Now") button=Command3 ;;
        "Block Now") button=Command4 ;;
        close) button="" ;;
        *) e2e_fail "no prompt button $1" ;;
    esac
    if [ -n "$button" ]; then
        e2e_driver text "$BR_PROMPT" "$button" --expect "$1" >/dev/null
        e2e_driver click "$BR_PROMPT" "$button" --post
    else
        e2e_driver close "$BR_PROMPT"
    fi
    e2e_driver wait-gone "$BR_PROMPT" --timeout 15000
}
