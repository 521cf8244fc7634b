#!/usr/bin/env bash
# quelldriver itself: its failures are told apart by exit status and say what was missing,
# and its queries read what a first run is known to show.
# shellcheck source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

e2e_begin
e2e_set_setting showHelp 0
e2e_start

# status | words of its error | quelldriver's arguments
expect_failure() {
    local status=0 said
    said="$(e2e_driver "${@:3}" 2>&1 >/dev/null)" || status=$?
    e2e_expect_equal "$1" "$status" "exit status of quelldriver ${*:3}"
    if [[ "$said" != *"$2"* ]]; then
        e2e_fail "quelldriver ${*:3} said [$said], not [$2]"
    fi
}

expect_failure 1 'no window captioned "No such window" within 300 ms' \
    wait-window --title "No such window" --timeout 300
expect_failure 1 'expected "nothing", saw "0 Popups blocked to date" after 200 ms' \
    status "$E2E_MAIN" 1 --expect nothing --timeout 200
expect_failure 1 "still there after 200 ms" wait-gone "$E2E_MAIN" --timeout 200
expect_failure 2 "no control Nope in the design of Form1" text "$E2E_MAIN" Nope
expect_failure 2 "no menu item mnuFileItem (7) in the design of Form1" \
    menu "$E2E_MAIN" mnuFileItem 7
expect_failure 2 "the status bar has 2 panels, not 3" status "$E2E_MAIN" 3
expect_failure 2 "no window design named Nope" text "$E2E_MAIN" Check1 --form Nope
expect_failure 2 "list List1 has no item 5" select "$E2E_MAIN" List1 5
expect_failure 2 "no window 0x1" text 0x1
expect_failure 2 "unknown command frobnicate" frobnicate
expect_failure 2 "option --timeout needs a value" status "$E2E_MAIN" --timeout

# The same window by handle, by caption and by class and program.
e2e_expect_equal "$E2E_MAIN" \
    "$(e2e_driver wait-window --class QuellPaneDesignedWindow --exe quellpane.EXE --visible)" \
    "window found by class and program"
e2e_expect_equal "$E2E_MAIN_CAPTION" "$(e2e_driver text "$E2E_MAIN_CAPTION")" "caption"
# Controls by design name and by number (Command7 is the third control of the main window).
e2e_expect_equal "Visit $E2E_PUBLISHER_HOST" "$(e2e_driver text "$E2E_MAIN" Command7)" \
    "Command7 by name"
e2e_expect_equal "Visit $E2E_PUBLISHER_HOST" "$(e2e_driver text "$E2E_MAIN" 1002)" \
    "Command7 by number"
# The design comes from the caption, also from one the program completes at run time.
e2e_driver menu "$E2E_MAIN" mnuAboutItem 0
e2e_expect_equal "$(e2e_product_value QUELL_COMPANY_NAME)" \
    "$(e2e_driver text "About $E2E_PRODUCT" lblCompany)" "the about window's lblCompany"
e2e_driver close "About $E2E_PRODUCT"
e2e_driver wait-gone "About $E2E_PRODUCT"
e2e_expect_equal normal "$(e2e_driver window-state "$E2E_MAIN")" "window state"
# The splash stays loaded, hidden, once the main window is shown.
e2e_expect_equal "1 0" "$(e2e_driver visible "$E2E_MAIN") $(e2e_driver visible Form4)" \
    "visible main window, hidden splash"

# On screen without a window manager: the frame is larger than what is shown of the window.
geometry='^([0-9]+)x([0-9]+)[+-][0-9]+[+-][0-9]+$'
shown="$(e2e_driver screenshot-rect "$E2E_MAIN")"
frame="$(e2e_driver screenshot-rect "$E2E_MAIN" --frame)"
[[ "$shown" =~ $geometry ]] || e2e_fail "screenshot-rect printed [$shown]"
shown_height="${BASH_REMATCH[2]}"
[[ "$frame" =~ $geometry ]] || e2e_fail "screenshot-rect --frame printed [$frame]"
((BASH_REMATCH[2] > shown_height)) || e2e_fail "frame $frame not taller than $shown"

e2e_exit
e2e_passed
