#!/usr/bin/env bash
# Setup mode (on at a first run): a popup from a site on neither list brings up "Popup
# Detected!" with the site key, and the stand-in gets each button's answer. The "Always" answers
# extend the lists with the prompt's text and stop the questions for that site; "Now" answers
# and the close box do neither. Site keys of an address with a port, with a second "http://"
# and of about:blank. The stand-in raises NewWindow3 then NewWindow2 for each request.
# shellcheck source=_browser.sh
source "$(dirname "${BASH_SOURCE[0]}")/_browser.sh"

br_begin
br_standin_start http://opener.example/index.html --raise 32
e2e_start
browser="$(br_window_captioned http://opener.example/index.html)"
host="$E2E_PUBLISHER_HOST"
allowed="$E2E_DIR/allowed.txt"
disallowed="$E2E_DIR/disallowed.txt"

# "Block Now": blocked, and no list changes. The prompt over the stand-in, as a person sees it.
br_ask opener.example br_popup "$browser"
e2e_mouse_park
e2e_screenshot browser-prompt
br_answer "Block Now"
br_expect_request "$BR_REQUEST" 1 0 3+2
e2e_expect_file "$allowed" "$host\r\n"
e2e_expect_file "$disallowed" '\r\n'

# The port stays in the key. "Block Always" appends the key to disallowed.txt and List2; the
# next popup from there is blocked without a question.
br_navigate "$browser" http://host.example:8080/x
br_popup "$browser"
br_expect_prompt host.example:8080
br_answer "Block Always"
br_expect_request "$BR_REQUEST" 1 0
e2e_expect_file "$disallowed" '\r\nhost.example:8080\r\n'
e2e_expect_items List2 host.example:8080
br_popup "$browser"
br_expect_unasked 1 0

# A second "http://" in the query: the first host is the key. "Allow Always" adds the text as
# the user left it to List1 and rewrites allowed.txt; the next popup from there opens without
# a question (the lists ignore case).
br_navigate "$browser" "http://first.example/go?to=http://second.example/"
br_popup "$browser"
br_expect_prompt first.example
e2e_driver set-text "$BR_PROMPT" Text1 FIRST.example
br_answer "Allow Always"
br_expect_request "$BR_REQUEST" 0 1
e2e_expect_items List1 "$host" FIRST.example
e2e_expect_file "$allowed" "$host\r\nFIRST.example\r\n\r\n"
br_popup "$browser"
br_expect_unasked 0 1

# The blank page is its own key. "Allow Now" opens this popup only: the next one asks again,
# and closing the prompt blocks it like "Block Now".
br_navigate "$browser" about:blank
br_popup "$browser"
br_expect_prompt about:blank
br_answer "Allow Now"
br_expect_request "$BR_REQUEST" 0 1
br_popup "$browser"
br_expect_prompt about:blank
br_answer close
br_expect_request "$BR_REQUEST" 1 0

# A popup asked for while the prompt is open waits in the stand-in (it answers clicks only
# between requests); after the answer it gets a question of its own, about its own site.
second="$(br_new_window "$browser")"
br_navigate "$second" http://queued.example/
br_navigate "$browser" http://opener.example/index.html
br_popup "$browser"
first_request="$BR_REQUEST"
br_expect_prompt opener.example
br_popup "$second"
br_answer "Block Now"
br_expect_request "$first_request" 1 0
br_expect_prompt queued.example
br_answer "Allow Now"
br_expect_request "$BR_REQUEST" 0 1

# Only the "Always" answers touched the lists.
e2e_expect_items List1 "$host" FIRST.example
e2e_expect_items List2 host.example:8080
e2e_expect_file "$allowed" "$host\r\nFIRST.example\r\n\r\n"
e2e_expect_file "$disallowed" '\r\nhost.example:8080\r\n'

# Blocked: "Block Now" twice, "Block Always", the popup after it, the close box.
e2e_exit
e2e_expect_setting intStopped 5
br_standin_stop
e2e_passed
