#!/usr/bin/env bash
# Later runs come back as the last one was left. A first run changes every switch and a list,
# hides into the tray and exits from the tray menu; the second starts hidden with everything
# restored and the help window on top, and works the tray icon: which mouse messages open its
# menu, "Show program" and "Minimize to Taskbar" with the saved state, the icon kept through
# an Explorer restart; there "Show at Startup" is unticked, so the third start shows no help
# window until Help > View Help opens it.
# shellcheck source=_program.sh
source "$(dirname "${BASH_SOURCE[0]}")/_program.sh"
program_begin
run_key="${E2E_RUN_KEYS[0]}"
boxes=(Check1 Check2 Check6 Check5 Check3 Check4)
flipped=(0 0 1 0 1 1)

# --- first run: every switch away from its first-run value, a site added, into the tray ---
e2e_start
program_expect_tray_icons 1
for box in "${boxes[@]}"; do
    e2e_driver click "$E2E_MAIN" "$box"
done
e2e_expect_status "Run On Startup Enabled"
e2e_driver set-text "$E2E_MAIN" Text1 added.example
e2e_driver click "$E2E_MAIN" Command1
e2e_expect_items List1 "$E2E_PUBLISHER_HOST" added.example
e2e_driver click "$E2E_MAIN" Command6
e2e_driver visible "$E2E_MAIN" --expect 0 --timeout 5000 >/dev/null
e2e_expect_setting state down
e2e_driver menu "$E2E_MAIN" Exit --post
e2e_wait_end
program_expect_tray_icons 0
# The Run value outlives the program; without it, the next start must write it again.
e2e_expect_reg "$run_key" "$E2E_PRODUCT" "$(e2e_run_data)"
e2e_reg_delete "$run_key" "$E2E_PRODUCT"

# --- second run: hidden, restored, the help window on top of everything ---
e2e_start --hidden
e2e_driver wait-window --title "$PROGRAM_HELP" --exe QuellPane.exe --visible >/dev/null
e2e_driver send-message "$E2E_MAIN" WM_NULL >/dev/null
e2e_expect_equal 0 "$(e2e_driver visible "$E2E_MAIN")" "main window shown"
program_expect_tray_icons 1
for i in "${!boxes[@]}"; do
    e2e_expect_check "${boxes[i]}" "${flipped[i]}"
done
e2e_expect_items List1 "$E2E_PUBLISHER_HOST" added.example
e2e_expect_reg "$run_key" "$E2E_PRODUCT" "$(e2e_run_data)"
for window in "$E2E_MAIN" "$PROGRAM_HELP"; do
    e2e_driver topmost "$window" --expect 1 >/dev/null
done

# Mouse messages over the icon that open nothing: sent, so each is handled when the driver
# returns (a menu would keep it waiting).
for code in 512 515 516 518; do
    e2e_driver send-message "$E2E_MAIN" "$PROGRAM_TRAY_MESSAGE" 0 "$code" --timeout 3000 >/dev/null
    program_expect_no_menu "after mouse message $code"
done
for code in 513 514 517; do
    program_tray_post "$code"
    menu="$(program_menu_window)" || e2e_fail "mouse message $code opened no menu"
    program_close_menu "$menu"
done
e2e_expect_equal 0 "$(e2e_driver visible "$E2E_MAIN")" "main window shown by the tray menu alone"

# "Show program" restores the window and saves "up"; "Minimize to Taskbar" hides it again.
e2e_driver menu "$E2E_MAIN" show
e2e_expect_equal "1 normal" \
    "$(e2e_driver visible "$E2E_MAIN") $(e2e_driver window-state "$E2E_MAIN")" "shown program"
e2e_expect_setting state up
e2e_driver menu "$E2E_MAIN" mnuActionItem 0
e2e_driver visible "$E2E_MAIN" --expect 0 --timeout 5000 >/dev/null
e2e_expect_setting state down
program_expect_tray_icons 1

# Explorer announces its restart with "TaskbarCreated": the icon is there once, and answers.
e2e_driver send-message "$E2E_MAIN" registered:TaskbarCreated >/dev/null
program_expect_tray_icons 1
program_tray_post 517
program_close_menu "$(program_menu_window)"

e2e_driver click "$PROGRAM_HELP" Check1
e2e_driver check-value "$PROGRAM_HELP" Check1 --expect 0 >/dev/null
e2e_expect_setting showHelp 0
e2e_driver menu "$E2E_MAIN" show
e2e_driver visible "$E2E_MAIN" --expect 1 >/dev/null
e2e_exit
e2e_expect_setting state up

# --- third run: no help window until it is asked for ---
e2e_start
e2e_driver send-message "$E2E_MAIN" WM_NULL >/dev/null
[ -z "$(program_windows_captioned "$PROGRAM_HELP")" ] ||
    e2e_fail "the help window opened with \"showHelp\" = \"0\""
e2e_driver menu "$E2E_MAIN" mnuHelpItem 0
e2e_driver wait-window --title "$PROGRAM_HELP" --exe QuellPane.exe --visible >/dev/null
e2e_driver check-value "$PROGRAM_HELP" Check1 --expect 0 >/dev/null
e2e_expect_setting showHelp 0
e2e_exit
e2e_passed
