#!/usr/bin/env bash
# When each switch reaches the settings: "chkSound" and "chkOnTop" at the click, so that they
# survive a program that is killed; the other switches only at an orderly exit.
# shellcheck source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

e2e_begin
e2e_set_setting showHelp 0
e2e_start

expect_absent() {
    local name
    for name in "$@"; do
        e2e_expect_setting "$name" "<absent>"
    done
}

# Restoring the default 1 of "chkSound" at start-up runs the box's click, which writes it.
e2e_expect_setting chkSound 1
expect_absent chkStopPop chkAuto chkLinks chkRunAtStart chkOnTop intStopped

e2e_driver click "$E2E_MAIN" Check5
e2e_expect_status "Sounds Disabled"
e2e_expect_setting chkSound 0
e2e_driver click "$E2E_MAIN" Check3
e2e_expect_status "Always On Top Enabled"
e2e_expect_setting chkOnTop 1
for box in Check1 Check2 Check6 Check4; do
    e2e_driver click "$E2E_MAIN" "$box"
done
e2e_expect_status "Run On Startup Enabled"
expect_absent chkStopPop chkAuto chkLinks chkRunAtStart intStopped

# Killed, not exited: only what was written at the clicks is there.
e2e_kill
e2e_expect_setting chkSound 0
e2e_expect_setting chkOnTop 1
expect_absent chkStopPop chkAuto chkLinks chkRunAtStart intStopped

# Again, this time with File > Exit: every switch is written.
e2e_start
for box in Check1 Check2 Check6 Check4; do
    e2e_driver click "$E2E_MAIN" "$box"
done
e2e_expect_status "Run On Startup Enabled"
expect_absent chkStopPop chkAuto chkLinks chkRunAtStart
e2e_exit
while read -r name value; do
    e2e_expect_setting "$name" "$value"
done <<'EOF'
chkStopPop 0
chkAuto 0
chkLinks 1
chkSound 0
chkOnTop 1
chkRunAtStart 1
intStopped 0
state up
EOF

e2e_passed
