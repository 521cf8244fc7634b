#!/usr/bin/env bash
# Popups decided without a question: setup mode off blocks every site that is not allowed,
# disallowed or not; a site allowed from the main window or from allowed.txt opens; with
# blocking off everything opens. The blocked ones are counted into "intStopped" and shown after
# a restart. Measures the time from the "Popup" click to the stand-in's answer.
# shellcheck source=_browser.sh
source "$(dirname "${BASH_SOURCE[0]}")/_browser.sh"

# Milliseconds of each of so many blocked popups, from the click to the stand-in's log line:
# from quelldriver's start, and from its end (the click is posted just before it ends). Also
# the stand-in's own time for the events to come back.
measure_blocked() {  # window count label
    local i before after line done_at us
    local from_start=() from_post=() events=()
    for ((i = 0; i < $2; i++)); do
        before="$(date +%s%N)"
        br_popup "$1"
        after="$(date +%s%N)"
        until line="$(grep -m 1 "^request=$BR_REQUEST " "$BR_LOG")"; do
            if (($(date +%s%N) - after > 20000000000)); then
                br_fail "no answer to request $BR_REQUEST within 20 s"
            fi
            sleep 0.005
        done
        done_at="$(date +%s%N)"
        br_expect_unasked 1 0
        us="${line#* us=}"
        from_start+=($(((done_at - before) / 1000000)))
        from_post+=($(((done_at - after) / 1000000)))
        events+=($((${us%% *} / 1000)))
    done
    e2e_log "[ figure ] blocked popup, $3, median of $2: click to log line" \
        "$(e2e_median "${from_post[@]}") ms ($(e2e_median "${from_start[@]}") ms with quelldriver's" \
        "start), events $(e2e_median "${events[@]}") ms; all click to log: ${from_post[*]}"
}

br_begin
printf 'friend.example\r\n' >"$E2E_DIR/allowed.txt"
br_standin_start http://opener.example/index.html
e2e_start
browser="$(br_window_captioned http://opener.example/index.html)"
e2e_expect_items List1 friend.example

# Setup mode off: a site on neither list is blocked without a question, and so is a
# disallowed one (that list only matters in setup mode).
e2e_driver click "$E2E_MAIN" Check2
e2e_expect_status "Setup Mode Disabled"
br_blocked_once_attached "$browser"
br_expect_unasked 1 0 2+3
e2e_driver set-text "$E2E_MAIN" Text2 bad.example
e2e_driver click "$E2E_MAIN" Command4
e2e_expect_file "$E2E_DIR/disallowed.txt" 'bad.example\r\n\r\n'
br_navigate "$browser" http://bad.example/page.html
br_popup "$browser"
br_expect_unasked 1 0

# Allowed from the main window, and from allowed.txt as it was before the start.
e2e_driver set-text "$E2E_MAIN" Text1 opener.example
e2e_driver click "$E2E_MAIN" Command1
e2e_expect_items List1 friend.example opener.example
e2e_expect_file "$E2E_DIR/allowed.txt" 'friend.example\r\nopener.example\r\n\r\n'
for address in http://opener.example/index.html http://friend.example/; do
    br_navigate "$browser" "$address"
    br_popup "$browser"
    br_expect_unasked 0 1
done

# Blocking off: a site on neither list and a disallowed one both open.
e2e_driver click "$E2E_MAIN" Check1
e2e_expect_status "Now allowing popups"
for address in http://stranger.example/ http://bad.example/page.html; do
    br_navigate "$browser" "$address"
    br_popup "$browser"
    br_expect_unasked 0 1
done
e2e_driver click "$E2E_MAIN" Check1
e2e_expect_status "Now blocking popups"

br_navigate "$browser" http://stranger.example/
measure_blocked "$browser" 7 "sound on"
e2e_driver click "$E2E_MAIN" Check5
e2e_expect_status "Sounds Disabled"
measure_blocked "$browser" 7 "sound off"

# Decisions leave the status line to the user's actions.
e2e_expect_status "Sounds Disabled"

# Two blocked at first and fourteen measured. A restart shows the count and keeps setup mode
# off: the stand-in, still running, is found at once and its next popup blocked and counted.
e2e_exit
e2e_expect_setting intStopped 16
e2e_start
e2e_expect_status "16 Popups blocked to date" 1
e2e_expect_check Check2 0
br_blocked_once_attached "$browser"
e2e_exit
e2e_expect_setting intStopped 17
br_standin_stop
e2e_passed
