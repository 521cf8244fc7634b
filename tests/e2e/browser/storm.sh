#!/usr/bin/env bash
# Popup storms: 1,000 requests from one window back to back, then 64 windows raising 16 each at
# once, their requests nested in one another's waits. Every request is answered and blocked
# (setup mode and sound off), the counter after the exit holds exactly the blocked ones, and
# the stand-in ends with every object released. Gives the figure of a blocked request's answer
# under load: the 1,000 back to back, as the stand-in's log times them.
# shellcheck source=_browser.sh
source "$(dirname "${BASH_SOURCE[0]}")/_browser.sh"

WINDOWS=64
STORM=1000
EACH=16

answered() {
    test "$(grep -c '^request=' "$BR_LOG")" -ge "$BR_REQUESTS"
}

# One message posted to the first window raises so many requests; once the stand-in has
# answered them all (a storm's in any order), every one must have been blocked, unopened, with
# QuellPane's one sink. FROM is the first of them.
raise_blocked() {  # count message [wParam]
    FROM=$((BR_REQUESTS + 1))
    e2e_driver post-message "$first" "${@:2}"
    BR_REQUESTS=$((BR_REQUESTS + $1))
    e2e_wait_until 600 answered || br_fail "not $BR_REQUESTS requests answered within 60 s"
    e2e_expect_equal "$BR_REQUESTS" "$(grep -c '^request=' "$BR_LOG")" "requests answered"
    local wrong
    wrong="$(awk -v first="$FROM" -F'[= ]' '/^request=/ && $2 >= first &&
        !/ cancel=1 opened=0 sinks=1 / { print; exit }' "$BR_LOG")"
    [ -z "$wrong" ] || br_fail "a storm request not blocked once: $wrong"
}

# A request answered before one raised earlier: the storm's requests did nest.
expect_nested_from() {  # first request
    awk -v first="$1" -F'[= ]' '/^request=/ && $2 >= first { if ($2 < last) found = 1; last = $2 }
        END { exit !found }' "$BR_LOG" || br_fail "no request from $1 on nested in another's wait"
}

br_begin
e2e_set_setting chkAuto 0
e2e_set_setting chkSound 0
# Unmanaged: with no window manager, Wine waits two seconds at every close of a managed window.
wine reg add 'HKCU\Software\Wine\AppDefaults\StandInBrowser.exe\X11 Driver' /v Managed /d N /f \
    >/dev/null 2>&1 </dev/null
br_standin_start http://storm.example/ --windows "$WINDOWS"
first="$(br_window_captioned http://storm.example/)"
e2e_wait_until 300 test "$(br_browser_windows | wc -l)" -eq "$WINDOWS" ||
    br_fail "the stand-in did not show $WINDOWS windows"
e2e_start
br_blocked_once_attached "$first"

# Back to back from one window, timed by the stand-in.
raise_blocked "$STORM" "$BR_BURST" "$STORM"
burst="$(e2e_wait_until 100 grep -m 1 '^burst ' "$BR_LOG")" || br_fail "no burst line"
e2e_log "[ figure ] $STORM blocked requests back to back from one window: $burst"

# Every window at once, each request of one raised while those of others wait.
raise_blocked $((WINDOWS * EACH)) "$BR_POPUP_EVERYWHERE" "$EACH"
expect_nested_from "$FROM"
for window in $(br_browser_windows); do
    e2e_driver text "$window" 108 --expect "Last popup: blocked" >/dev/null
done
e2e_log "$WINDOWS windows at once answered"

blocked="$(grep -c '^request=.* cancel=1 ' "$BR_LOG")"
e2e_exit
e2e_expect_setting intStopped "$blocked"
br_standin_stop
e2e_passed
