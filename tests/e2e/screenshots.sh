#!/usr/bin/env bash
# Screenshots for a person to look at: the main window as a first run shows it, and the
# setup-mode prompt raised by a popup from the stand-in browser, answered "Block Now".
# shellcheck source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

e2e_begin
e2e_set_setting showHelp 0
e2e_start
e2e_mouse_park
e2e_screenshot main-window "$E2E_MAIN"

standin="$E2E_BIN/StandInBrowser.exe"
if [ ! -f "$standin" ]; then
    e2e_log "no $standin: no prompt screenshot"
    e2e_exit
    e2e_passed
    exit 0
fi

# Ids of the stand-in's browser window (platform/standin/StandInProtocol.h).
popup_button=106
last_answer=108
prompt="Popup Detected!"
e2e_spawn "$standin" --windows 1
browser="$(e2e_driver wait-window --title "Stand-in Browser - http://opener.example/index.html" \
    --exe StandInBrowser.exe --visible)"

# The program finds the stand-in on a timer. Until it has attached, a popup is let through at
# once; once attached, the request waits for the prompt's answer.
for attempt in $(seq 20); do
    e2e_driver set-text "$browser" "$last_answer" "Last popup: none"
    e2e_driver click "$browser" "$popup_button" --post
    if e2e_driver wait-window --title "$prompt" --visible --timeout 1000 >/dev/null 2>&1; then
        break
    fi
    if [ "$(e2e_driver text "$browser" "$last_answer")" = "Last popup: none" ]; then
        e2e_driver wait-window --title "$prompt" --visible --timeout 10000 >/dev/null
        break
    fi
    e2e_log "popup $attempt let through before the program attached to the stand-in"
done
e2e_driver text "$prompt" Text1 --expect opener.example >/dev/null
e2e_mouse_park
e2e_screenshot prompt "$prompt"

# "Block Now": the popup is blocked and counted, and neither list changes.
e2e_driver click "$prompt" Command4
e2e_driver wait-gone "$prompt"
e2e_driver text "$browser" "$last_answer" --expect "Last popup: blocked" >/dev/null
e2e_expect_items List1 "$E2E_PUBLISHER_HOST"
e2e_expect_items List2
e2e_exit
e2e_expect_setting intStopped 1

e2e_passed
