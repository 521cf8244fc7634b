#!/usr/bin/env bash
# A 50 MB allowed.txt of 2.5 million entries: the start, one add from the main window and the
# settings' save at the session's end, each timed; the list shows every entry, popups are
# decided with it from the first request the tracker answers, and the list's copy, too large for
# a setting, is left out of the save with a word on the status line. The bounds only catch a
# slowdown by an order of magnitude; the figures go to ${build}/artefacts/big-list-times.txt.
# shellcheck source=../browser/_browser.sh
source "$(dirname "${BASH_SOURCE[0]}")/../browser/_browser.sh"
# shellcheck source=_listfiles.sh
source "$(dirname "${BASH_SOURCE[0]}")/_listfiles.sh"

lines=2500000
br_begin
e2e_set_setting chkAuto 0  # setup mode off: a site not allowed is blocked without a question
allowed="$E2E_DIR/allowed.txt"
# 20 bytes a line; the opener's site is the last entry.
{
    seq -f 'www.a%07.0f.tests' 1 $((lines - 1))
    echo 'opener.exampletests'
} | sed 's/$/\r/' >"$allowed"
printf '\r\n' >"$E2E_DIR/disallowed.txt"
bytes="$(stat -c %s "$allowed")"

br_standin_start http://blocked.example/index.html
started="$(listfiles_now)"
e2e_start
start_seconds="$(listfiles_seconds "$started")"
memory="$(awk '/^VmHWM/ { print $2 / 1024 " MB" }' "/proc/$E2E_PID/status")"
[ "$(listfiles_count List1)" = "$lines" ] || e2e_fail "List1 shows $(listfiles_count List1) entries"

browser="$(br_window_captioned http://blocked.example/index.html)"
br_blocked_once_attached "$browser"
br_navigate "$browser" http://opener.exampletests/page.html
br_popup "$browser"
br_expect_unasked 0 1

# One add: a driver call's own time is taken off.
e2e_driver set-text "$E2E_MAIN" Text1 added.example
asked="$(listfiles_now)"
e2e_driver text "$E2E_MAIN" Text1 >/dev/null
driver_seconds="$(listfiles_seconds "$asked")"
asked="$(listfiles_now)"
e2e_driver click "$E2E_MAIN" Command1
add_seconds="$(awk -v all="$(listfiles_seconds "$asked")" -v driver="$driver_seconds" \
    'BEGIN { printf "%.3f", all - driver }')"
[ "$(stat -c %s "$allowed")" = $((bytes + 15 + 2)) ] ||
    e2e_fail "allowed.txt after the add: $(stat -c %s "$allowed") bytes"
[ "$(tail -c 17 "$allowed")" = "$(printf 'added.example\r\n\r\n')" ] ||
    e2e_fail "allowed.txt does not end with the added entry"

asked="$(listfiles_now)"
e2e_driver send-endsession "$E2E_MAIN" >/dev/null
save_seconds="$(listfiles_seconds "$asked")"
e2e_expect_status "The allowed list ($(((bytes + 15) / 1024)) KB) is too large for a copy in the settings; its file keeps it."
e2e_expect_setting strAllowed "<absent>"
e2e_expect_setting chkAuto 0
e2e_exit
br_standin_stop

mkdir -p "$E2E_ARTEFACTS"
{
    echo "allowed.txt: $bytes bytes, $lines entries"
    echo "start, process start to main window shown: $start_seconds s; peak memory $memory"
    echo "add from the main window: $add_seconds s (driver call $driver_seconds s taken off)"
    echo "session-end save: $save_seconds s"
} | tee "$E2E_ARTEFACTS/big-list-times.txt" >&2
listfiles_below "$start_seconds" 60 || e2e_fail "the start took $start_seconds s"
listfiles_below "$add_seconds" 10 || e2e_fail "the add took $add_seconds s"
listfiles_below "$save_seconds" 30 || e2e_fail "the save took $save_seconds s"
e2e_passed
