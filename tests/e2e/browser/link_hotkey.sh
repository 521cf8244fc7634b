#!/usr/bin/env bash
# Popups let through once, in setup mode: a click on a link while the mouse is over it, with
# the link exception ticked (and not without it); and the one after Win+Z, the next one being
# asked about again. The stand-in raises NewWindow3 only.
# shellcheck source=_browser.sh
source "$(dirname "${BASH_SOURCE[0]}")/_browser.sh"

br_begin
# Away from where the stand-in's link will be: no status text until the test hovers it.
e2e_mouse_park
br_standin_start http://opener.example/index.html --raise 3
e2e_start
browser="$(br_window_captioned http://opener.example/index.html)"
allowed="The next popup will be allowed."

# Exception on, but the mouse over no link: asked about.
e2e_driver click "$E2E_MAIN" Check6
e2e_expect_status "Auto New Window Enabled"
br_ask opener.example br_popup "$browser"
br_answer "Block Now"
br_expect_request "$BR_REQUEST" 1 0 3

# Exception off: clicking the link is asked about like any popup.
e2e_driver click "$E2E_MAIN" Check6
e2e_expect_status "Auto New Window Disabled"
br_click_link "$browser"
br_expect_prompt opener.example
br_answer "Block Now"
br_expect_request "$BR_REQUEST" 1 0 3

# Exception on: the link's popup opens without a question, uncounted; the status line keeps the
# switch's text.
e2e_driver click "$E2E_MAIN" Check6
e2e_expect_status "Auto New Window Enabled"
br_click_link "$browser"
br_expect_unasked 0 1 3
e2e_expect_status "Auto New Window Enabled"

# Win+Z: the next popup opens, the one after is asked about again. (The exception is off again:
# the window that just opened covers the link, and when the stand-in notices the mouse leave
# it is a matter of time.)
e2e_driver click "$E2E_MAIN" Check6
e2e_expect_status "Auto New Window Disabled"
e2e_press "$E2E_MAIN" "" super+z
e2e_expect_status "$allowed"
br_popup "$browser"
br_expect_unasked 0 1 3
br_popup "$browser"
br_expect_prompt opener.example
br_answer "Block Now"
br_expect_request "$BR_REQUEST" 1 0
# Spending the permission leaves its text.
e2e_expect_status "$allowed"

e2e_exit
e2e_expect_setting intStopped 3
br_standin_stop
e2e_passed
