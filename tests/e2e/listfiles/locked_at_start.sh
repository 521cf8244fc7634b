#!/usr/bin/env bash
# allowed.txt held open by another program while QuellPane starts: the list cannot be read,
# and the status line says so. An add while it is still held is refused whole; once the file
# is free, an add keeps every entry the file had, and the list shows them all.
# shellcheck source=_listfiles.sh
source "$(dirname "${BASH_SOURCE[0]}")/_listfiles.sh"

e2e_begin
e2e_set_setting showHelp 0
allowed="$E2E_DIR/allowed.txt"
printf 'a.example\r\nb.example\r\nc.example\r\n' >"$allowed"
printf '\r\n' >"$E2E_DIR/disallowed.txt"

e2e_lock_file "$E2E_WIN_DIR\\allowed.txt"
e2e_start
listfiles_expect_status "Could not read allowed.txt: * It is read again as soon as it can be."
e2e_expect_items List1

e2e_driver set-text "$E2E_MAIN" Text1 d.example
e2e_driver click "$E2E_MAIN" Command1
listfiles_expect_status "Could not add to allowed.txt: *"
e2e_expect_items List1
e2e_expect_file "$allowed" 'a.example\r\nb.example\r\nc.example\r\n'

e2e_unlock_file
e2e_driver click "$E2E_MAIN" Command1
e2e_expect_items List1 a.example b.example c.example d.example
e2e_expect_file "$allowed" 'a.example\r\nb.example\r\nc.example\r\nd.example\r\n\r\n'

# A list that stays held is loaded by the timer once it is free.
e2e_exit
e2e_lock_file "$E2E_WIN_DIR\\allowed.txt"
e2e_start
e2e_expect_items List1
e2e_unlock_file
e2e_driver list-items "$E2E_MAIN" List1 --timeout 10000 \
    --expect "$(printf '%s\n' a.example b.example c.example d.example)" >/dev/null
e2e_expect_status "allowed.txt could be read now: the list shows all its entries."
e2e_exit
e2e_passed
