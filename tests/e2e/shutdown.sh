#!/usr/bin/env bash
# The other ways the main window ends besides File > Exit: its close box, and Windows ending
# the session (the query is never refused). Each saves the switches on the way out.
# shellcheck source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

e2e_begin
e2e_set_setting showHelp 0

e2e_start
e2e_driver click "$E2E_MAIN" Check1
e2e_expect_status "Now allowing popups"
e2e_driver close "$E2E_MAIN"
e2e_wait_end
e2e_expect_setting chkStopPop 0

e2e_start
e2e_expect_check Check1 0
e2e_driver click "$E2E_MAIN" Check1
e2e_expect_status "Now blocking popups"
e2e_expect_equal 1 "$(e2e_driver send-endsession "$E2E_MAIN")" "answer to WM_QUERYENDSESSION"
# Windows ends the process after WM_ENDSESSION; what counts is that the settings are saved.
e2e_expect_setting chkStopPop 1
e2e_kill 50

e2e_passed
