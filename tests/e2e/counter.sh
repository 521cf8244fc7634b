#!/usr/bin/env bash
# A first run (no settings at all): counter 0 in panel 1 and the help window shown; exiting
# ends the program with the help window still open. Then the saved "intStopped" is what
# panel 1 shows, and the count is written back at exit.
# shellcheck source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

e2e_begin
e2e_start
e2e_expect_status "0 Popups blocked to date" 1
e2e_driver wait-window --title "Readme/Help" --exe QuellPane.exe --visible >/dev/null
e2e_exit
e2e_expect_setting intStopped 0

e2e_set_setting showHelp 0
e2e_set_setting intStopped 41
e2e_start
e2e_expect_status "41 Popups blocked to date" 1
e2e_exit
e2e_expect_setting intStopped 41

e2e_passed
