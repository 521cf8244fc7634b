# shellcheck shell=bash
# The end-to-end harness, sourced by every test script of this folder. It keeps an Xvfb
# display and a Wine prefix between tests, gives each test a fresh program folder and fresh
# settings, starts QuellPane.exe in the background and drives it through quelldriver.exe.
# A failing command stops the test with its place in the script, a list of the windows and a
# screenshot under ${build}/artefacts.
#
# Environment: QUELL_BUILD_DIR, the Windows build folder (QuellPane.exe and quelldriver.exe in
# its bin/); the prefix is ${QUELL_BUILD_DIR}/e2e-wineprefix.
# All of them: ctest --test-dir build/windows -L e2e
# One of them:  QUELL_BUILD_DIR=build/windows tests/e2e/lists.sh

set -Eeuo pipefail

e2e_here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
e2e_root="$(cd "$e2e_here/../.." && pwd)"

E2E_BUILD="$(cd "${QUELL_BUILD_DIR:-$e2e_root/build/windows}" && pwd)"
E2E_BIN="$E2E_BUILD/bin"
E2E_ARTEFACTS="$E2E_BUILD/artefacts"
E2E_TEST="$(basename "${0%.sh}")"
E2E_SESSION_FILE="$E2E_BUILD/e2e-session"

# The names the program takes from its version information.
e2e_product_value() {
    sed -n "s/^#define $1 \"\(.*\)\"$/\1/p" "$e2e_root/resources/ProductInfo.h"
}
E2E_PRODUCT="$(e2e_product_value QUELL_PRODUCT_NAME)"
E2E_MAIN_CAPTION="$E2E_PRODUCT by $(e2e_product_value QUELL_COMPANY_NAME)"
E2E_PUBLISHER_HOST="$(e2e_product_value QUELL_WEBSITE)"
E2E_SETTINGS_KEY="HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\$E2E_PRODUCT"
E2E_RUN_KEYS=(
    'HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Run'
    'HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run'
)

export QUELL_WINEPREFIX="$E2E_BUILD/e2e-wineprefix"
# shellcheck source=../../scripts/wine-env.sh disable=SC1091
source "$e2e_root/scripts/wine-env.sh"
# shellcheck source=../../scripts/display.sh disable=SC1091
source "$e2e_root/scripts/display.sh"

E2E_PID=""          # the running QuellPane.exe (its Wine process)
E2E_MAIN=""         # its main window's handle
E2E_DIR=""          # the test's program folder, and the same as Windows names it
E2E_WIN_DIR=""
E2E_SPAWNED=()      # other programs a test started (a stand-in browser), ended with it
E2E_OWN_SESSION=0   # this script started the display and the server: it stops them too
E2E_PASSED=0

e2e_log() {
    echo "[$E2E_TEST $(date +%T)] $*" >&2
}

# --- failures ---

e2e_evidence() {
    if [ -n "${DISPLAY:-}" ] && command -v import >/dev/null; then
        mkdir -p "$E2E_ARTEFACTS"
        import -window root "$E2E_ARTEFACTS/$E2E_TEST-failure.png" 2>/dev/null &&
            echo "  screenshot: $E2E_ARTEFACTS/$E2E_TEST-failure.png" >&2
    fi
    echo "  windows:" >&2
    e2e_driver list-windows 2>&1 | grep -v 'visible=0' | sed 's/^/    /' >&2 || true
    if [ -n "$E2E_DIR" ] && [ -s "$E2E_DIR.log" ]; then
        echo "  program output:" >&2
        tail -n 20 "$E2E_DIR.log" | sed 's/^/    /' >&2
    fi
}

e2e_on_error() {
    local status=$?
    trap - ERR
    if [ "$BASH_SUBSHELL" -gt 0 ]; then
        exit "$status"  # the command substitution's caller reports
    fi
    echo "FAIL: $E2E_TEST: \"$1\" ended with status $status at:" >&2
    local i
    for ((i = 1; i < ${#BASH_SOURCE[@]}; i++)); do
        echo "  $(basename "${BASH_SOURCE[i]}"):${BASH_LINENO[i - 1]} ${FUNCNAME[i]}" >&2
    done
    e2e_evidence
    exit 1
}
trap 'e2e_on_error "$BASH_COMMAND"' ERR

e2e_fail() {
    echo "FAIL: $E2E_TEST: $*" >&2
    return 1
}

# Bytes with control characters shown, so that a difference in line ends can be read.
e2e_bytes() {  # [file]
    od -An -c "$@" | tr -s ' \n' ' ' | sed 's/^ //; s/ $//'
}

e2e_show() {
    printf '%s' "$1" | e2e_bytes
}

e2e_expect_equal() {  # expected seen what
    if [ "$1" != "$2" ]; then
        e2e_fail "$3: expected [$(e2e_show "$1")], saw [$(e2e_show "$2")]"
    fi
}

# Whether the command succeeds within so many tenths of a second; tried every tenth.
e2e_wait_until() {  # tenths command...
    local tenths=0
    until "${@:2}"; do
        if ((++tenths > $1)); then
            return 1
        fi
        sleep 0.1
    done
}

# The middle one of numbers, integer or decimal (the lower middle one of an even count).
e2e_median() {  # numbers...
    printf '%s\n' "$@" | sort -n | awk '{ value[NR] = $1 } END { print value[int((NR + 1) / 2)] }'
}

# --- the session: display, prefix, server ---

e2e_session_alive() {
    [ -f "$E2E_SESSION_FILE" ] || return 1
    local display pid
    read -r display pid <"$E2E_SESSION_FILE"
    kill -0 "$pid" 2>/dev/null && DISPLAY="$display" xdpyinfo >/dev/null 2>&1 &&
        export DISPLAY="$display"
}

# Our own display: keys and screenshots must not meet other programs' windows. Harnesses that
# start at the same moment may pick the same free number: the X server's lock file names the
# one that got it.
e2e_own_display() {
    local attempt
    for attempt in 1 2 3; do
        unset DISPLAY
        quell_display 2>/dev/null
        if [ "$(tr -d ' ' <"/tmp/.X${DISPLAY#:}-lock" 2>/dev/null)" = "$QUELL_XVFB_PID" ]; then
            return 0
        fi
        kill "$QUELL_XVFB_PID" 2>/dev/null || true
        e2e_log "display $DISPLAY taken by another server (attempt $attempt)"
    done
    e2e_fail "no display of our own"
}

e2e_session_start() {
    local tool
    for tool in Xvfb xdotool import convert xdpyinfo wine; do
        if ! command -v "$tool" >/dev/null; then
            echo "SKIP: $tool is not installed (scripts/deps.sh installs it)" >&2
            exit 77
        fi
    done
    if ! e2e_session_alive; then
        e2e_own_display
        echo "$DISPLAY $QUELL_XVFB_PID" >"$E2E_SESSION_FILE"
        E2E_OWN_SESSION=1
    fi
    quell_wine_prefix
    # Started here, detached: a server or desktop started by a test would hold CTest's pipes.
    wineserver -p >/dev/null 2>&1 </dev/null || true
    wine cmd /c exit >/dev/null 2>&1 </dev/null || true
}

e2e_session_stop() {
    wineserver -k >/dev/null 2>&1 || true
    if [ -f "$E2E_SESSION_FILE" ]; then
        local display pid
        read -r display pid <"$E2E_SESSION_FILE"
        kill "$pid" 2>/dev/null || true
        rm -f "$E2E_SESSION_FILE"
    fi
}

# --- a test's own program folder and settings ---

e2e_fresh_settings() {
    e2e_reg_delete "$E2E_SETTINGS_KEY"
    local key
    for key in "${E2E_RUN_KEYS[@]}"; do
        e2e_reg_delete "$key" "$E2E_PRODUCT"
    done
}

# QuellPane.exe and its data files, copied so that list files are the test's own.
e2e_fresh_folder() {
    mkdir -p "$WINEPREFIX/drive_c/e2e"
    E2E_DIR="$(mktemp -d "$WINEPREFIX/drive_c/e2e/$E2E_TEST.XXXXXX")"
    E2E_WIN_DIR="C:\\e2e\\$(basename "$E2E_DIR")"
    cp "$E2E_BIN/QuellPane.exe" "$E2E_DIR/"
    local file
    for file in Help.rtf icon.ico hoticon.ico sounds/pop.wav; do
        if [ -f "$E2E_BIN/$file" ]; then
            mkdir -p "$(dirname "$E2E_DIR/$file")"
            cp "$E2E_BIN/$file" "$E2E_DIR/$file"
        fi
    done
}

# Every test begins here: a session, no settings, no Run value, a new program folder.
e2e_begin() {
    [ -f "$E2E_BIN/QuellPane.exe" ] || e2e_fail "no $E2E_BIN/QuellPane.exe: build first"
    [ -f "$E2E_BIN/quelldriver.exe" ] || e2e_fail "no $E2E_BIN/quelldriver.exe: build first"
    trap e2e_end EXIT
    e2e_session_start
    e2e_fresh_settings
    e2e_fresh_folder
    e2e_log "program folder $E2E_WIN_DIR on display $DISPLAY"
}

e2e_passed() {
    E2E_PASSED=1
    e2e_log "passed"
}

e2e_end() {
    trap - ERR
    if [ -n "$E2E_PID" ] && kill -0 "$E2E_PID" 2>/dev/null; then
        # A failed test may leave the program in any state: an exit if it still answers.
        e2e_driver menu "$E2E_MAIN" mnuFileItem 1 --post >/dev/null 2>&1 || true
        e2e_kill 30 2>/dev/null || true
    fi
    local pid
    for pid in "${E2E_SPAWNED[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    if [ "$E2E_PASSED" = 1 ] && [ -n "$E2E_DIR" ]; then
        rm -rf "$E2E_DIR" "$E2E_DIR.log"
    elif [ -n "$E2E_DIR" ]; then
        echo "  kept for inspection: $E2E_DIR" >&2
    fi
    if [ "$E2E_OWN_SESSION" = 1 ]; then
        e2e_session_stop
    fi
}

# --- the program ---

e2e_driver() {
    wine "$E2E_BIN/quelldriver.exe" "$@" </dev/null
}

# Starts QuellPane.exe and waits for its main window (E2E_MAIN) to be loaded, as far as the
# counter in panel 1, and shown; with --hidden not shown, as a saved "state" of "down" starts it.
e2e_start() {
    local count window=(--title "$E2E_MAIN_CAPTION" --exe QuellPane.exe --timeout 30000)
    count="$(e2e_setting intStopped)" || count=0
    if [ "${1:-}" != --hidden ]; then
        window+=(--visible)
    fi
    wine "$E2E_WIN_DIR\\QuellPane.exe" </dev/null >>"$E2E_DIR.log" 2>&1 &
    E2E_PID=$!
    E2E_MAIN="$(e2e_driver wait-window "${window[@]}")"
    e2e_expect_status "$count Popups blocked to date" 1
}

# Another Windows program in the background for the rest of the test; E2E_SPAWNED ends with
# its process id.
e2e_spawn() {  # program arguments...
    wine "$@" </dev/null >>"$E2E_DIR.log" 2>&1 &
    E2E_SPAWNED+=($!)
}

# File > Exit, then the process must end of itself.
e2e_exit() {
    e2e_driver menu "$E2E_MAIN" mnuFileItem 1 --post
    e2e_wait_end
}

# Whether a process, QuellPane.exe unless named, ends within so many tenths of a second.
e2e_process_ends() {  # tenths [pid]
    e2e_wait_until "$1" e2e_gone "${2:-$E2E_PID}"
}

e2e_gone() {  # pid
    ! kill -0 "$1" 2>/dev/null
}

# QuellPane.exe ended without File > Exit, as Windows or a user would: killed, at once or when
# it has not ended of itself within so many tenths of a second, and reaped. Killing one that
# has already ended fails: the test did not expect that.
e2e_kill() {  # [tenths]
    if [ -z "${1:-}" ] || ! e2e_process_ends "$1"; then
        kill "$E2E_PID"
    fi
    wait "$E2E_PID" || true
    E2E_PID=""
}

e2e_wait_end() {
    e2e_process_ends 150 || e2e_fail "QuellPane.exe still running 15 s after it was told to exit"
    local status=0
    wait "$E2E_PID" || status=$?
    E2E_PID=""
    e2e_expect_equal 0 "$status" "QuellPane.exe's exit status"
}

# Queries of the main window that must come to a value: quelldriver waits and reports.
e2e_expect_status() {  # text [panel]
    e2e_driver status "$E2E_MAIN" "${2:-2}" --expect "$1" --timeout 5000 >/dev/null
}

e2e_expect_check() {  # control value
    e2e_driver check-value "$E2E_MAIN" "$1" --expect "$2" --timeout 5000 >/dev/null
}

e2e_expect_items() {  # list items... (none: an empty list)
    local list="$1" joined=""
    shift
    if [ $# -gt 0 ]; then
        joined="$(printf '%s\n' "$@")"
    fi
    e2e_driver list-items "$E2E_MAIN" "$list" --expect "$joined" --timeout 5000 >/dev/null
}

# --- files and registry ---

# Holds a file open with no sharing, as a backup tool or a virus scanner may, until
# e2e_unlock_file or the end of the test.
E2E_LOCKER=""
e2e_lock_file() {  # path as Windows names it
    local said="$E2E_DIR/locker.out"
    wine "$E2E_BIN/quelldriver.exe" lock-file "$1" --timeout 600000 </dev/null >"$said" 2>&1 &
    E2E_LOCKER=$!
    E2E_SPAWNED+=("$E2E_LOCKER")
    e2e_wait_until 100 grep -q '^locked' "$said" || e2e_fail "could not lock $1: $(cat "$said")"
}

e2e_unlock_file() {
    kill "$E2E_LOCKER"
    wait "$E2E_LOCKER" || true
}

# The file's bytes, waited for up to 5 s, against printf's rendering of the format.
e2e_expect_file() {  # path printf-format
    local expected
    expected="$(mktemp)"
    # shellcheck disable=SC2059
    printf "$2" >"$expected"
    if ! e2e_wait_until 50 cmp -s "$expected" "$1"; then
        echo "FAIL: $E2E_TEST: bytes of $1" >&2
        echo "  expected: $(e2e_bytes "$expected")" >&2
        echo "  seen:     $(e2e_bytes "$1" 2>&1)" >&2
        rm -f "$expected"
        return 1
    fi
    rm -f "$expected"
}

# A registry value's data; status 1 when the value is absent.
e2e_reg_value() {  # key name
    local out
    out="$(wine reg query "$1" /v "$2" 2>/dev/null </dev/null)" || return 1
    printf '%s\n' "$out" | tr -d '\r' | sed -n "s/^    $2    REG_[A-Z_]*    //p"
}

# Gone, whether or not it was there.
e2e_reg_delete() {  # key [name]: the value, or else the whole key
    wine reg delete "$1" ${2:+/v "$2"} /f >/dev/null 2>&1 </dev/null || true
}

# The Run value the program writes for the test's folder: its path, quoted.
e2e_run_data() {
    printf '"%s\\QuellPane.exe"' "$E2E_WIN_DIR"
}

e2e_setting() {
    e2e_reg_value "$E2E_SETTINGS_KEY\\Settings" "$1"
}

e2e_set_setting() {  # name value
    wine reg add "$E2E_SETTINGS_KEY\\Settings" /v "$1" /d "$2" /f >/dev/null 2>&1 </dev/null
}

e2e_expect_setting() {  # name value, or "<absent>"
    local seen
    seen="$(e2e_setting "$1")" || seen="<absent>"
    e2e_expect_equal "$2" "$seen" "setting \"$1\""
}

e2e_expect_reg() {  # key name value, or "<absent>"
    local seen
    seen="$(e2e_reg_value "$1" "$2")" || seen="<absent>"
    e2e_expect_equal "$3" "$seen" "registry value $1\\$2"
}

# --- keys, mouse, screenshots ---

# Real key presses (X events through Wine's keyboard input) to a window, or one control of
# it, brought to the front first. With no window manager Wine never takes the X input focus,
# so the X server hands keys to the window under the pointer: over no window of Wine's (the
# pointer parked, say) they are lost. The pointer goes onto the window's top left corner first.
e2e_press() {  # window control-or-"" keys...
    if [ -n "$2" ]; then
        e2e_driver focus "$1" "$2"
    else
        e2e_driver focus "$1"
    fi
    local left top
    IFS='x+' read -r _ _ left top <<<"$(e2e_driver screenshot-rect "$1")"
    e2e_mouse_move $((left + 1)) $((top + 1))
    xdotool key --clearmodifiers "${@:3}"
}

e2e_mouse_move() {  # x y
    xdotool mousemove "$1" "$2"
}

# The pointer out of the way, so that no tooltip covers a screenshot.
e2e_mouse_park() {
    local width height
    read -r width height < <(xdotool getdisplaygeometry)
    e2e_mouse_move $((width - 1)) $((height - 1))
}

# The whole screen, or what it shows of one window, as ${build}/artefacts/<name>.png.
e2e_screenshot() {  # name [window]
    mkdir -p "$E2E_ARTEFACTS"
    local out="$E2E_ARTEFACTS/$1.png"
    if [ -n "${2:-}" ]; then
        local rect
        rect="$(e2e_driver screenshot-rect "$2")"
        import -window root png:- | convert png:- -crop "$rect" +repage "$out"
    else
        import -window root "$out"
    fi
    e2e_log "screenshot $out"
}
