#!/usr/bin/env bash
# The blocked-popup counter in panel 1: 0 on a first run, the saved "intStopped" afterwards,
# and the count written back at exit.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

e2e_begin
e2e_set_setting showHelp 0
e2e_start
e2e_expect_status "0 Popups blocked to date" 1
e2e_exit
e2e_expect_setting intStopped 0

e2e_set_setting intStopped 41
e2e_start
e2e_expect_status "41 Popups blocked to date" 1
e2e_exit
e2e_expect_setting intStopped 41

e2e_passed
