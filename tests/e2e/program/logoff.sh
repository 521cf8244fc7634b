#!/usr/bin/env bash
# Windows ending the session: the program never exits of itself, so WM_QUERYENDSESSION and
# WM_ENDSESSION are its only chance to save the counter and the switches. What the start and the
# clicks wrote is taken away first, so that only the end of the session can put it back.
# shellcheck source=_program.sh
source "$(dirname "${BASH_SOURCE[0]}")/_program.sh"
program_begin
e2e_set_setting intStopped 5
e2e_set_setting showHelp 0
e2e_start
e2e_expect_status "5 Popups blocked to date" 1
e2e_driver click "$E2E_MAIN" Check1
e2e_expect_status "Now allowing popups"
e2e_driver click "$E2E_MAIN" Check6
e2e_expect_status "Auto New Window Enabled"
saved_at_end=(chkRunAtStart chkOnTop chkAuto chkStopPop intStopped chkLinks state)
for name in "${saved_at_end[@]}"; do
    e2e_reg_delete "$E2E_SETTINGS_KEY\\Settings" "$name"
    e2e_expect_setting "$name" "<absent>"
done

e2e_expect_equal 1 "$(e2e_driver send-endsession "$E2E_MAIN")" "answer to WM_QUERYENDSESSION"
while read -r name value; do
    e2e_expect_setting "$name" "$value"
done <<'EOF'
chkRunAtStart 0
chkOnTop 0
chkAuto 1
chkStopPop 0
intStopped 5
chkLinks 1
state up
chkSound 1
EOF
# Windows ends the process once every program has answered WM_ENDSESSION.
e2e_kill
e2e_passed
