#!/usr/bin/env bash
# One window opened and closed 1,000 times among 50 others: QuellPane's handles, GDI and USER
# objects and working set stay within 5 % of what they were after a warm-up, every window is
# still heard afterwards, and the stand-in ends with every COM object released.
# shellcheck source=_browser.sh
source "$(dirname "${BASH_SOURCE[0]}")/_browser.sh"

br_cycles_logged() {
    grep -c '^cycles=' "$BR_LOG" || true
}

br_cycles_beyond() {  # count
    (($(br_cycles_logged) > $1))
}

# Opens and closes one more stand-in window so many times; done when the stand-in logs it.
br_cycles() {  # window count tenths
    local logged
    logged="$(br_cycles_logged)"
    e2e_driver post-message "$1" "$BR_WINDOW_CYCLES" "$2"
    e2e_wait_until "$3" br_cycles_beyond "$logged" ||
        br_fail "$2 open-and-close cycles not done in $(($3 / 10)) s"
    e2e_expect_equal "cycles=$2" "$(grep '^cycles=' "$BR_LOG" | tail -n 1 | tr -d '\r')" \
        "the stand-in's cycles"
}

br_begin
# Unmanaged: with no window manager Wine waits two seconds at each managed window's end.
wine reg add 'HKCU\Software\Wine\AppDefaults\StandInBrowser.exe\X11 Driver' /v Managed /d N \
    /f >/dev/null 2>&1 </dev/null
e2e_start
br_standin_start http://opener.example/index.html --windows 50
first="$(br_window_captioned http://opener.example/index.html)"
br_ask opener.example br_popup "$first"
br_answer "Block Now"

br_cycles "$first" 50 600
before="$(e2e_driver process-stats "$E2E_MAIN" | tr -d '\r')"
started="$(date +%s%N)"
# In batches of 100, as a user's windows come and go with pauses between: back to back without
# a pause, each cycle under Wine takes longer than the one before, QuellPane running or not.
for batch in $(seq 10); do
    br_cycles "$first" 100 600
done
e2e_log "[ figure ] 1000 cycles among 50 windows in $((($(date +%s%N) - started) / 1000000)) ms"
after="$(e2e_driver process-stats "$E2E_MAIN" | tr -d '\r')"
e2e_log "QuellPane before: $before"
e2e_log "QuellPane after:  $after"
# Wine answers 0 for another process's handle count and GUI objects; Windows gives them all.
for name in handles gdi user working-set; do
    was="$(sed -n "s/.*\b$name=\([0-9]*\).*/\1/p" <<<"$before")"
    now="$(sed -n "s/.*\b$name=\([0-9]*\).*/\1/p" <<<"$after")"
    [ -n "$was" ] && [ -n "$now" ] || e2e_fail "no $name in [$before] or [$after]"
    ((now * 100 <= was * 105)) || e2e_fail "$name grew from $was to $now in 1000 cycles"
done

# Every window still heard, each request decided once.
br_expect_heard "$first opener.example" "$(br_window_captioned about:blank) about:blank"
e2e_exit
br_standin_stop
e2e_passed
