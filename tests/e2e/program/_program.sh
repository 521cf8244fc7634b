# shellcheck shell=bash
# Shared by the whole-program suite: QuellPane.exe from its splash to its exit, seen through
# quelldriver.exe (what Windows knows of each window) and through the X server (what is on
# screen, and what Wine asks of a window manager for each window).
# Its constants are for the scripts that source it.
# shellcheck source=../lib.sh disable=SC2034
source "$(dirname "${BASH_SOURCE[0]}")/../lib.sh"

PROGRAM_SPLASH="Form4"
PROGRAM_HELP="Readme/Help"
PROGRAM_ABOUT="About $E2E_PRODUCT"
# Win32Tray::CallbackMessage(): WM_APP + 0x51, the mouse message over the icon in lParam.
PROGRAM_TRAY_MESSAGE=$((0x8000 + 0x51))
PROGRAM_WM_CANCELMODE=31
PROGRAM_TOOLS_KEY='Software\Microsoft\Internet Explorer\Extensions\'
PROGRAM_TOOLS_KEY+='{ECC5777A-6E88-BFCE-13CE-81F134789E7B}'
PROGRAM_HTTP_COMMAND_KEY='HKEY_CLASSES_ROOT\http\shell\open\command'

PROGRAM_CLEANUPS=()     # commands that undo what a test changed outside its own folder
PROGRAM_WATCHER=""      # the background watch of one start
PROGRAM_TIMELINE=""     # what it saw
PROGRAM_START_SECONDS=""
PROGRAM_SPLASH_SECONDS=""

program_end() {
    local cleanup
    if [ -n "$PROGRAM_WATCHER" ]; then
        kill "$PROGRAM_WATCHER" 2>/dev/null || true
    fi
    if [ "$E2E_PASSED" != 1 ] && [ -n "$E2E_PID" ]; then
        # The harness lists the windows shown; a start that shows nothing needs more.
        echo "  QuellPane.exe: $(ps -o stat=,etime= -p "$E2E_PID" || echo ended)" >&2
        e2e_driver list-windows 2>&1 | grep 'exe=QuellPane.exe' | sed 's/^/    /' >&2 || true
        if [ -s "$PROGRAM_TIMELINE" ]; then
            echo "  on screen (seconds since boot, splash, main window):" >&2
            sed 's/^/    /' "$PROGRAM_TIMELINE" >&2
        fi
    fi
    for cleanup in "${PROGRAM_CLEANUPS[@]}"; do
        eval "$cleanup" || true
    done
    e2e_end
}

# A fresh program folder and settings, as e2e_begin; prefix-wide changes are undone at the end.
program_begin() {
    e2e_begin
    trap program_end EXIT
}

program_elapsed() {  # from to (seconds)
    awk -v from="$1" -v to="$2" 'BEGIN { printf "%.2f", to - from }'
}

program_at_least() {  # value minimum: status 0 when value >= minimum
    awk -v value="$1" -v minimum="$2" 'BEGIN { exit !(value >= minimum) }'
}

# --- the X server's view ---

# Seconds since boot: the clock of a process's start time in /proc.
program_uptime() {
    local up _
    read -r up _ </proc/uptime
    echo "$up"
}

program_process_start() {  # pid: its start, in seconds since boot
    local stat fields
    stat="$(cat "/proc/$1/stat")"
    # The fields after the command name, which may hold blanks; the start time is field 22.
    read -r -a fields <<<"${stat##*) }"
    awk -v ticks="${fields[19]}" -v hz="$(getconf CLK_TCK)" 'BEGIN { printf "%.2f", ticks / hz }'
}

program_regex() {  # text: a basic regular expression that matches exactly it
    printf '^%s$' "$(printf '%s' "$1" | sed 's/[][\.*^$]/\\&/g')"
}

# Whether an X window with this title is mapped, of any program (the watch runs before the
# program's process id is known; each test runs one program).
program_x_shown() {  # title
    xdotool search --onlyvisible --name "$(program_regex "$1")" >/dev/null 2>&1
}

# The X window Wine made for the program's top-level window with this caption.
program_x_window() {  # caption
    local ids
    ids="$(xdotool search --all --pid "$E2E_PID" --name "$(program_regex "$1")" 2>/dev/null)" ||
        e2e_fail "no X window named \"$1\" of QuellPane.exe"
    echo "${ids%%$'\n'*}"
}

# What Wine asks of a window manager for a window: _NET_WM_STATE_SKIP_TASKBAR keeps a tool
# window or an owned window out of the taskbar, _NET_WM_STATE_ABOVE marks a topmost one.
program_x_states() {  # X window
    xprop -id "$1" _NET_WM_STATE
}

program_expect_in_taskbar() {  # caption 1|0
    local states listed=1
    states="$(program_x_states "$(program_x_window "$1")")"
    if [[ "$states" == *_NET_WM_STATE_SKIP_TASKBAR* ]]; then
        listed=0
    fi
    e2e_expect_equal "$2" "$listed" "\"$1\" listed in the taskbar ($states)"
}

# Where an X window is on the screen, as WxH+X+Y.
program_x_geometry() {  # X window
    xdotool getwindowgeometry --shell "$1" |
        awk -F= '{ value[$1] = $2 }
            END { print value["WIDTH"] "x" value["HEIGHT"] "+" value["X"] "+" value["Y"] }'
}

# Crops the screen to a geometry (WxH+X+Y) into an artefact, as e2e_screenshot names them.
program_shot() {  # name geometry
    mkdir -p "$E2E_ARTEFACTS"
    import -window root png:- | convert png:- -crop "$2" +repage "$E2E_ARTEFACTS/$1.png"
}

program_painted() {  # png: status 0 when it is not a single colour
    program_at_least "$(convert "$1" -format '%[fx:standard_deviation]' info:)" 0.001
}

# The splash alone on screen, painted: its screenshot, taken by the watch as soon as it can.
program_splash_shot() {  # X window
    local geometry shot="$E2E_ARTEFACTS/program-splash.png"
    geometry="$(program_x_geometry "$1")"
    until program_x_shown "$PROGRAM_HELP" || program_x_shown "$E2E_MAIN_CAPTION"; do
        program_shot program-splash "$geometry"
        if program_painted "$shot" && ! program_x_shown "$PROGRAM_HELP" &&
            ! program_x_shown "$E2E_MAIN_CAPTION"; then
            echo "$shot"
            return 0
        fi
    done
    rm -f "$shot"
}

# In the background from just before a start: a line "<seconds since boot> <splash shown>
# <main window shown>" each time that pair changes, until the main window is shown without the
# splash (or 30 s). With --splash, the first sight of the splash also writes its X window's
# states and geometry and its screenshot into "$PROGRAM_TIMELINE.splash".
program_watch() {  # [--splash]
    PROGRAM_TIMELINE="$E2E_DIR/e2e-timeline"
    rm -f "$PROGRAM_TIMELINE" "$PROGRAM_TIMELINE.splash"
    (
        trap - ERR
        set +e
        last=""
        deadline=$((SECONDS + 30))
        while [ "$last" != "0 1" ] && ((SECONDS < deadline)); do
            splash=0 main=0
            program_x_shown "$PROGRAM_SPLASH" && splash=1
            program_x_shown "$E2E_MAIN_CAPTION" && main=1
            if [ "$splash $main" != "$last" ]; then
                echo "$(program_uptime) $splash $main" >>"$PROGRAM_TIMELINE"
                last="$splash $main"
                if [ "$last" = "1 0" ] && [ "${1:-}" = --splash ] &&
                    [ ! -e "$PROGRAM_TIMELINE.splash" ]; then
                    splash_window="$(xdotool search --onlyvisible \
                        --name "$(program_regex "$PROGRAM_SPLASH")")"
                    {
                        program_x_states "$splash_window"
                        echo "geometry $(program_x_geometry "$splash_window")"
                        program_splash_shot "$splash_window"
                    } >"$PROGRAM_TIMELINE.splash"
                fi
            fi
            sleep 0.01
        done
    ) &
    PROGRAM_WATCHER=$!
}

# After e2e_start: the splash alone first, then the main window, and never neither of them in
# between; sets PROGRAM_START_SECONDS (process start to main window shown) and
# PROGRAM_SPLASH_SECONDS (splash shown to main window shown).
program_watch_end() {
    wait "$PROGRAM_WATCHER" || true
    PROGRAM_WATCHER=""
    local time splash main last="" seen="" splash_at="" main_at=""
    while read -r time splash main; do
        last="$splash $main"
        seen+="[$last]"
        if [ -z "$splash_at" ] && [ "$splash $main" = "1 0" ]; then
            splash_at="$time"
        elif [ -n "$splash_at" ] && [ -z "$main_at" ] && [ "$main" = 1 ]; then
            main_at="$time"
        fi
        if [ "$splash $main" = "0 0" ] && [ -n "$splash_at" ]; then
            e2e_fail "nothing on screen at $time after the splash (seen: $seen)"
        fi
        if [ "$main" = 1 ] && [ -z "$splash_at" ]; then
            e2e_fail "the main window came before the splash (seen: $seen)"
        fi
    done <"$PROGRAM_TIMELINE"
    [ -n "$main_at" ] || e2e_fail "the main window was never shown after the splash (seen: $seen)"
    [ "$last" = "0 1" ] || e2e_fail "the splash is still shown (seen: $seen)"
    PROGRAM_START_SECONDS="$(program_elapsed "$(program_process_start "$E2E_PID")" "$main_at")"
    PROGRAM_SPLASH_SECONDS="$(program_elapsed "$splash_at" "$main_at")"
    e2e_log "main window shown ${PROGRAM_START_SECONDS} s after the process started," \
        "the splash ${PROGRAM_SPLASH_SECONDS} s before it"
}

# e2e_start with the watch around it.
program_start_watched() {  # [--splash]
    program_watch "$@"
    e2e_start
    program_watch_end
}

# File > Exit with other windows open: the process ends at once, taking them along. Closing
# them first would take each off the screen while the main window is still on it (and cost
# Wine about 2 s a window without a window manager).
program_exit_with() {  # caption...
    local asked caption
    asked="$(program_uptime)"
    e2e_driver menu "$E2E_MAIN" mnuFileItem 1 --post
    while kill -0 "$E2E_PID" 2>/dev/null && program_x_shown "$E2E_MAIN_CAPTION"; do
        for caption in "$@"; do
            if ! program_x_shown "$caption" && program_x_shown "$E2E_MAIN_CAPTION"; then
                e2e_fail "\"$caption\" went off the screen before the program ended"
            fi
        done
        sleep 0.01
    done
    e2e_wait_end
    e2e_log "exit with $* open: $(program_elapsed "$asked" "$(program_uptime)") s"
}

# --- the notification area ---

# The icons in the notification area. With no tray on the display, Wine shows them side by side
# in a window of its own, one square slot as tall as the window each, and hides the window when
# none is left.
program_tray_icons() {
    local tray rect height
    if ! tray="$(e2e_driver wait-window --class __winex11_standalone_tray --timeout 100 \
        2>/dev/null)" ||
        [ "$(e2e_driver visible "$tray")" != 1 ]; then
        echo 0
        return
    fi
    rect="$(e2e_driver screenshot-rect "$tray")"
    height="${rect#*x}"
    height="${height%%[+-]*}"
    import -window root png:- |
        convert png:- -crop "$rect" +repage -crop "${height}x${height}" +repage \
            -format '%[fx:minima.intensity < 1]\n' info: |
        awk '{ icons += $1 } END { print icons + 0 }'
}

program_tray_icons_are() {  # count
    [ "$(program_tray_icons)" = "$1" ]
}

program_expect_tray_icons() {  # count
    e2e_wait_until 50 program_tray_icons_are "$1" ||
        e2e_fail "icons in the notification area: expected $1, saw $(program_tray_icons)"
}

# A mouse message over the tray icon, as the notification area sends it: posted, since the
# menu it may open keeps the handler busy until the menu closes.
program_tray_post() {  # mouse message
    e2e_driver post-message "$E2E_MAIN" "$PROGRAM_TRAY_MESSAGE" 0 "$1"
}

# The program's open popup menu (Wine's menu window class), waited for.
program_menu_window() {
    e2e_driver wait-window --class '#32768' --exe QuellPane.exe --visible --timeout 5000
}

program_expect_no_menu() {
    local windows
    windows="$(e2e_driver list-windows)"
    if [[ "$windows" == *"visible=1 class=#32768 exe=QuellPane.exe"* ]]; then
        e2e_fail "a popup menu is open: $1"
    fi
}

# WM_CANCELMODE ends a menu's tracking, as Esc would.
program_close_menu() {  # menu window
    e2e_driver post-message "$E2E_MAIN" "$PROGRAM_WM_CANCELMODE"
    e2e_driver wait-gone "$1"
}

# --- registry ---

# Every value of a key as "name|type|data" lines and every subkey as a "subkey <name>" line,
# sorted; nothing when the key does not exist.
program_reg_dump() {  # key
    local out
    out="$(wine reg query "$1" 2>/dev/null </dev/null)" || return 0
    printf '%s\n' "$out" | tr -d '\r' | awk -v key="$1" '
        /^    / {
            sub(/^    /, "")
            split($0, parts, "    ")
            print parts[1] "|" parts[2] "|" substr($0, length(parts[1]) + length(parts[2]) + 9)
            next
        }
        /^HKEY_/ && $0 != key { print "subkey " substr($0, length(key) + 2) }' | sort
}

# The default web browser replaced by a recorder for the rest of the test: every address the
# shell opens is appended, one a line, to the file.
program_record_browser() {  # file (in the test's program folder)
    local original
    original="$(wine reg query "$PROGRAM_HTTP_COMMAND_KEY" /ve 2>/dev/null </dev/null | tr -d '\r' |
        sed -n 's/^    (Default)    REG_[A-Z_]*    //p')"
    PROGRAM_CLEANUPS+=("wine reg add '$PROGRAM_HTTP_COMMAND_KEY' /ve /d '$original' /f \
        >/dev/null 2>&1 </dev/null")
    local windows_file="$E2E_WIN_DIR\\${1#"$E2E_DIR/"}"
    wine reg add "$PROGRAM_HTTP_COMMAND_KEY" /ve /d \
        "C:\\windows\\system32\\cmd.exe /c echo %1>>$windows_file" /f >/dev/null 2>&1 </dev/null
}

program_lines() {  # file: its lines without CR, nothing when it does not exist
    if [ -f "$1" ]; then
        tr -d '\r' <"$1"
    fi
}

program_has_lines() {  # file count: status 0 with at least so many lines
    [ "$(program_lines "$1" | wc -l)" -ge "$2" ]
}

program_wait_lines() {  # file count: until the file has at least so many lines (10 s)
    e2e_wait_until 100 program_has_lines "$1" "$2" ||
        e2e_fail "$1 has $(program_lines "$1" | wc -l) lines after 10 s, not $2"
}

# --- windows ---

# A point of a control of a window on screen, from the design's twips scaled to the window as
# shown, so that whatever the DPI a real click lands where the design puts the control.
program_point() {  # window design-width design-height twips-x twips-y
    local rect
    rect="$(e2e_driver screenshot-rect "$1")"
    [[ "$rect" =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || e2e_fail "window $1 at [$rect]"
    echo "$((BASH_REMATCH[3] + $4 * BASH_REMATCH[1] / $2))" \
        "$((BASH_REMATCH[4] + $5 * BASH_REMATCH[2] / $3))"
}

# The program's windows of a design that exist (shown or not), by caption.
program_windows_captioned() {  # caption
    local windows
    windows="$(e2e_driver list-windows)"
    printf '%s\n' "$windows" |
        awk -v caption="caption=\"$1\"" \
            'index($0, "class=QuellPaneDesignedWindow exe=QuellPane.exe " caption) { print $1 }'
}

program_no_window() {  # caption
    [ -z "$(program_windows_captioned "$1")" ]
}

program_wait_no_window() {  # caption (10 s)
    e2e_wait_until 100 program_no_window "$1" ||
        e2e_fail "a window captioned \"$1\" still exists after 10 s"
}
