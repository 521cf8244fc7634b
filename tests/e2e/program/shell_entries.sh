#!/usr/bin/env bash
# What the program writes into the system for other programs: the Run value of the run-at-startup
# switch, and the browser's Tools-menu entry with its eight values in both registry views, each
# put there and taken away again from the main window, with the status line saying so.
# shellcheck source=_program.sh
source "$(dirname "${BASH_SOURCE[0]}")/_program.sh"
program_begin
machine_tools_key="HKEY_LOCAL_MACHINE\\$PROGRAM_TOOLS_KEY"
# What 32-bit browser frames read on 64-bit Windows; Wine's 64-bit prefix keeps it apart too.
machine32_tools_key="HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\${PROGRAM_TOOLS_KEY#Software\\}"
user_tools_key="HKEY_CURRENT_USER\\$PROGRAM_TOOLS_KEY"
for key in "$machine_tools_key" "$machine32_tools_key" "$user_tools_key"; do
    e2e_reg_delete "$key"
    PROGRAM_CLEANUPS+=("e2e_reg_delete '$key'")
done
e2e_set_setting showHelp 0
e2e_start

expect_tools_entry() {  # "present" or "absent"
    local expected=""
    if [ "$1" = present ]; then
        expected="$(sort <<EOF
ButtonText|REG_SZ|$E2E_PRODUCT
CLSID|REG_SZ|{1FBA04EE-3024-11D2-8F1F-0000F87ABD16}
Default Visible|REG_SZ|Yes
Exec|REG_SZ|$E2E_WIN_DIR\\QuellPane.exe
HotIcon|REG_SZ|$E2E_WIN_DIR\\hoticon.ico
Icon|REG_SZ|$E2E_WIN_DIR\\icon.ico
MenuStatusBar|REG_SZ|$E2E_PRODUCT
MenuText|REG_SZ|&$E2E_PRODUCT
EOF
)"
    fi
    e2e_expect_equal "$expected" "$(program_reg_dump "$machine_tools_key")" \
        "the Tools-menu entry for all users"
    e2e_expect_equal "$expected" "$(program_reg_dump "$machine32_tools_key")" \
        "the Tools-menu entry for all users of 32-bit browser frames"
    # Writable for all users, so nothing goes to the user's own key.
    e2e_expect_equal "" "$(program_reg_dump "$user_tools_key")" "the user's own Tools-menu entry"
}

expect_run_value() {  # data, or "<absent>"
    e2e_expect_reg "${E2E_RUN_KEYS[0]}" "$E2E_PRODUCT" "$1"
    e2e_expect_reg "${E2E_RUN_KEYS[1]}" "$E2E_PRODUCT" "<absent>"
}

# Tools > Add twice: the same eight values, not more.
for _ in 1 2; do
    e2e_driver menu "$E2E_MAIN" mnuToolsItem 0
    e2e_expect_status "Added to the browser's Tools menu."
    expect_tools_entry present
done
e2e_driver menu "$E2E_MAIN" mnuToolsItem 1
e2e_expect_status "Removed from the browser's Tools menu."
expect_tools_entry absent

# The run-at-startup switch: the program's Windows path, quoted.
e2e_driver click "$E2E_MAIN" Check4
e2e_expect_status "Run On Startup Enabled"
expect_run_value "$(e2e_run_data)"

# Removing an entry that is not there is no error (the status line changed in between).
e2e_driver menu "$E2E_MAIN" mnuToolsItem 1
e2e_expect_status "Removed from the browser's Tools menu."
expect_tools_entry absent

e2e_driver click "$E2E_MAIN" Check4
e2e_expect_status "Run On Startup Disabled"
expect_run_value "<absent>"
e2e_exit
# Neither is touched by the exit.
expect_run_value "<absent>"
expect_tools_entry absent
e2e_passed
