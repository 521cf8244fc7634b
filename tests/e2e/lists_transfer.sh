#!/usr/bin/env bash
# Moving the site lists: the lists of one machine, one entry with "é", exported from the File
# menu through the common file dialog; the list files removed, as on a fresh machine; the
# export imported there gives the same bytes in allowed.txt and disallowed.txt.
# shellcheck source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# The File menu's item, then the common file dialog given a path and its OK button.
choose_file() {  # menu-index dialog-caption path
    local dialog
    e2e_driver menu "$E2E_MAIN" mnuFileItem "$1" --post
    dialog="$(e2e_driver wait-window --title "$2" --visible)"
    e2e_driver set-text "$dialog" 1152 "$3" 2>/dev/null || e2e_driver set-text "$dialog" 1148 "$3"
    e2e_driver click "$dialog" 1 --post
    e2e_driver wait-gone "$dialog" --timeout 15000
}

e2e_begin
e2e_set_setting showHelp 0
e2e_start
host="$E2E_PUBLISHER_HOST"
e2e_driver set-text "$E2E_MAIN" Text1 a.example
e2e_driver click "$E2E_MAIN" Command1
e2e_driver set-text "$E2E_MAIN" Text1 "Café.example"
e2e_driver click "$E2E_MAIN" Command1
e2e_driver set-text "$E2E_MAIN" Text2 bad.example
e2e_driver click "$E2E_MAIN" Command4
e2e_expect_file "$E2E_DIR/allowed.txt" "$host\r\na.example\r\nCaf\351.example\r\n\r\n"
e2e_expect_file "$E2E_DIR/disallowed.txt" 'bad.example\r\n\r\n'
allowed="$(e2e_bytes "$E2E_DIR/allowed.txt")"
disallowed="$(e2e_bytes "$E2E_DIR/disallowed.txt")"

choose_file 2 "Export Site Lists" "$E2E_WIN_DIR\\lists.txt"
e2e_expect_file "$E2E_DIR/lists.txt" \
    "\357\273\277[allowed]\r\n$host\r\na.example\r\nCaf\303\251.example\r\n[disallowed]\r\nbad.example\r\n"
e2e_expect_status "Site lists exported to $E2E_WIN_DIR\\lists.txt"
e2e_exit

# A fresh machine: the first run makes both list files anew.
rm "$E2E_DIR/allowed.txt" "$E2E_DIR/disallowed.txt"
e2e_start
e2e_expect_items List1 "$host"
choose_file 3 "Import Site Lists" "$E2E_WIN_DIR\\lists.txt"
e2e_expect_status "Imported: 3 added, 1 already listed"
e2e_expect_equal "$allowed" "$(e2e_bytes "$E2E_DIR/allowed.txt")" "allowed.txt after the import"
e2e_expect_equal "$disallowed" "$(e2e_bytes "$E2E_DIR/disallowed.txt")" \
    "disallowed.txt after the import"
e2e_expect_items List1 "$host" a.example "Café.example"
e2e_exit
e2e_passed
