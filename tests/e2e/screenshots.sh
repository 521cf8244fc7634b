#!/usr/bin/env bash
# Screenshots for a person to look at: the main window as a first run shows it, and the
# setup-mode prompt raised by a popup from the stand-in browser, answered "Block Now".
# shellcheck source=browser/_browser.sh
source "$(dirname "${BASH_SOURCE[0]}")/browser/_browser.sh"

br_begin
e2e_start
e2e_mouse_park
e2e_screenshot main-window "$E2E_MAIN"

if [ ! -f "$E2E_BIN/StandInBrowser.exe" ]; then
    e2e_log "no $E2E_BIN/StandInBrowser.exe: no prompt screenshot"
    e2e_exit
    e2e_passed
    exit 0
fi

# Started after the program, which finds it on a timer: br_ask raises popups until one is asked.
br_standin_start http://opener.example/index.html
browser="$(br_window_captioned http://opener.example/index.html)"
br_ask opener.example br_popup "$browser"
e2e_mouse_park
e2e_screenshot prompt "$BR_PROMPT"

# "Block Now": the popup is blocked and counted, and neither list changes.
br_answer "Block Now"
br_expect_request "$BR_REQUEST" 1 0
e2e_expect_items List1 "$E2E_PUBLISHER_HOST"
e2e_expect_items List2
e2e_exit
e2e_expect_setting intStopped 1
br_standin_stop

e2e_passed
