#!/usr/bin/env bash
# A restart restores every switch as it was left at exit, with its effects (the window on top,
# the Run value); a saved "state" of "down" starts the main window out of sight.
# shellcheck source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

e2e_begin
e2e_set_setting showHelp 0
e2e_start

# Every switch away from its first-run value.
boxes=(Check1 Check2 Check6 Check5 Check3 Check4)
flipped=(0 0 1 0 1 1)
for box in "${boxes[@]}"; do
    e2e_driver click "$E2E_MAIN" "$box"
done
e2e_expect_status "Run On Startup Enabled"
e2e_exit

# The Run value stays at exit. The restart writes it again: an earlier version's unquoted path,
# which Windows would split at a blank, becomes the quoted one.
e2e_expect_reg "${E2E_RUN_KEYS[0]}" "$E2E_PRODUCT" "$(e2e_run_data)"
wine reg add "${E2E_RUN_KEYS[0]}" /v "$E2E_PRODUCT" /d "$E2E_WIN_DIR\QuellPane.exe" /f \
    >/dev/null 2>&1 </dev/null
e2e_start
for i in "${!boxes[@]}"; do
    e2e_expect_check "${boxes[i]}" "${flipped[i]}"
done
e2e_driver topmost "$E2E_MAIN" --expect 1 >/dev/null
e2e_expect_reg "${E2E_RUN_KEYS[0]}" "$E2E_PRODUCT" "$(e2e_run_data)"
e2e_exit

# Saved as minimised into the tray: started hidden, and still hidden once the start is over
# (a shown window would be shown right after the load, in the same message).
e2e_set_setting state down
e2e_start --hidden
e2e_driver send-message "$E2E_MAIN" WM_NULL >/dev/null
for _ in 1 2 3; do
    e2e_expect_equal 0 "$(e2e_driver visible "$E2E_MAIN")" "main window shown"
    sleep 0.3
done
e2e_exit
e2e_expect_setting state down

e2e_passed
