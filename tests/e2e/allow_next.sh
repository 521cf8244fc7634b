#!/usr/bin/env bash
# Allow next popup: the real Win+Z key toggles it (twice: back to not allowed), and the
# "Allow Next Popup" button, the Action menu item and the tray menu item each toggle it once.
# shellcheck source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

e2e_begin
e2e_set_setting showHelp 0
e2e_start

allowed="The next popup will be allowed."
not_allowed="The next popup will NOT be allowed."

# From a fresh start (off, nothing on the status line) each text below can only come from the
# presses that went before it.
e2e_press "$E2E_MAIN" "" super+z super+z
e2e_expect_status "$not_allowed"
e2e_press "$E2E_MAIN" "" super+z
e2e_expect_status "$allowed"

# Each entry toggles exactly once: off, then on again.
for entry in "click Command5" "menu mnuActionItem 1" "menu allow"; do
    read -r command target index <<<"$entry"
    for expected in "$not_allowed" "$allowed"; do
        e2e_driver "$command" "$E2E_MAIN" "$target" ${index:+"$index"}
        e2e_expect_status "$expected"
    done
done

e2e_exit
e2e_passed
