#!/usr/bin/env bash
# One copy at a time. A second start while QuellPane is hidden in the tray ends at once with
# status 0 and brings the running copy's main window back, in front; the browser's popups are
# still heard once each (one sink, one count). Two starts at the same moment, saved as hidden:
# one copy stays, and its main window is shown once it has loaded.
# shellcheck source=_browser.sh
source "$(dirname "${BASH_SOURCE[0]}")/_browser.sh"

starts_ending() {  # pid: the start's QuellPane.exe ends within 10 s, with status 0
    e2e_process_ends 100 "$1" || e2e_fail "a second start still runs after 10 s"
    local status=0
    wait "$1" || status=$?
    e2e_expect_equal 0 "$status" "a second start's exit status"
}

start_copy() {  # sets COPY to its process id (a child of this shell, to be waited for)
    wine "$E2E_WIN_DIR\\QuellPane.exe" </dev/null >>"$E2E_DIR.log" 2>&1 &
    COPY=$!
}

main_windows() {
    e2e_driver list-windows |
        grep -c "class=QuellPaneDesignedWindow exe=QuellPane.exe caption=\"$E2E_MAIN_CAPTION\"" ||
        true
}

br_begin
e2e_set_setting chkAuto 0
br_standin_start http://opener.example/index.html
e2e_start
browser="$(br_window_captioned http://opener.example/index.html)"
br_blocked_once_attached "$browser"

e2e_driver click "$E2E_MAIN" Command6
e2e_driver visible "$E2E_MAIN" --expect 0 --timeout 5000 >/dev/null
asked="$(date +%s%N)"
start_copy
starts_ending "$COPY"
e2e_driver visible "$E2E_MAIN" --expect 1 --timeout 5000 >/dev/null
e2e_log "[ figure ] second start to the main window shown: $((($(date +%s%N) - asked) / 1000000)) ms"
e2e_expect_equal normal "$(e2e_driver window-state "$E2E_MAIN")" "the shown window's state"
e2e_driver foreground --expect "$E2E_MAIN" --timeout 5000 >/dev/null
e2e_expect_setting state up
e2e_expect_equal 1 "$(main_windows)" "main windows"
for _ in 1 2 3; do
    br_popup "$browser"
    br_expect_unasked 1 0
done
e2e_exit
e2e_expect_setting intStopped 4

# Both at once, saved hidden: whichever takes the mutex stays; the other asks it to show itself,
# most likely while it is still on its splash.
e2e_set_setting state down
start_copy
first="$COPY"
start_copy
second="$COPY"
ended() {
    e2e_gone "$first" || e2e_gone "$second"
}
e2e_wait_until 100 ended || e2e_fail "both starts still run after 10 s"
if e2e_gone "$first"; then
    starts_ending "$first"
    E2E_PID="$second"
else
    starts_ending "$second"
    E2E_PID="$first"
fi
if e2e_driver list-windows | grep -q 'visible=1 class=QuellPaneDesignedWindow exe=QuellPane.exe caption="Form4"'; then
    e2e_log "the second start ended while the first showed its splash"
fi
E2E_MAIN="$(e2e_driver wait-window --title "$E2E_MAIN_CAPTION" --exe QuellPane.exe --visible \
    --timeout 30000)"
e2e_expect_setting state up
e2e_expect_equal 1 "$(main_windows)" "main windows"
br_blocked_once_attached "$browser"
br_expect_request "$BR_REQUEST" 1 0
e2e_exit
br_standin_stop
e2e_passed
