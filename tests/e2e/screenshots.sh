#!/usr/bin/env bash
# Screenshots for a person to look at: the main window as a first run shows it, and the
# setup-mode prompt raised by a popup from the stand-in browser.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

e2e_begin
e2e_set_setting showHelp 0
e2e_start
e2e_mouse_park
e2e_screenshot main-window "$E2E_MAIN"
e2e_exit
e2e_passed
