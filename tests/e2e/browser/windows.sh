#!/usr/bin/env bash
# Browser windows coming and going while QuellPane runs, in setup mode: a stand-in started
# after QuellPane is found; each way of raising a request (NewWindow2, NewWindow3, both in
# either order) is decided once; a window opened later is decided too, and a closed one
# disturbs none of the others.
# shellcheck source=_browser.sh
source "$(dirname "${BASH_SOURCE[0]}")/_browser.sh"

br_begin
e2e_start
e2e_driver set-text "$E2E_MAIN" Text2 second.example
e2e_driver click "$E2E_MAIN" Command4
e2e_expect_items List2 second.example

br_standin_start http://opener.example/index.html --windows 2 --raise 2
first="$(br_window_captioned http://opener.example/index.html)"
second="$(br_window_captioned about:blank)"
br_navigate "$second" http://second.example/
br_ask opener.example br_popup "$first"
br_answer "Block Now"
br_expect_request "$BR_REQUEST" 1 0 2

# Per selector item: one question for a site on neither list, and one count for a disallowed
# site, blocked without a question (two decisions would count two). Each item well after the
# last: QuellPane takes a request of the other kind that follows an answered one of the same
# window within half a second for the same request raised twice, and reuses the answer.
while read -r index events; do
    br_select_events "$first" "$index"
    br_select_events "$second" "$index"
    br_navigate "$first" http://opener.example/index.html
    br_navigate "$second" http://second.example/
    if [ "$index" != 0 ]; then
        br_popup "$first"
        br_expect_prompt opener.example
        br_answer "Block Now"
        br_expect_request "$BR_REQUEST" 1 0 "$events"
    fi
    br_popup "$second"
    br_expect_unasked 1 0 "$events"
done <<'EOF'
0 2
1 3
2 2+3
3 3+2
EOF

# A window opened now: the listeners are rebuilt, and its popups are decided.
third="$(br_new_window "$first")"
br_navigate "$third" http://third.example/
br_popup "$third"
br_expect_prompt third.example
br_answer "Allow Now"
br_expect_request "$BR_REQUEST" 0 1 2

# A window closed: the others are still heard, each about its own site.
e2e_driver close "$second"
e2e_driver wait-gone "$second" --timeout 15000
br_expect_heard "$first opener.example" "$third third.example"

# Four questions and four disallowed popups, then two more questions.
e2e_exit
e2e_expect_setting intStopped 10
br_standin_stop
e2e_passed
