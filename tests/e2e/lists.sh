#!/usr/bin/env bash
# The two site lists from the main window: add with the Add buttons and with Enter in the text
# boxes, delete with the Delete buttons and with the Delete key; after every step the list
# boxes and the bytes of allowed.txt and disallowed.txt. A restart loads what the files hold.
# shellcheck source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

e2e_begin
e2e_set_setting showHelp 0
e2e_start

allowed="$E2E_DIR/allowed.txt"
disallowed="$E2E_DIR/disallowed.txt"
host="$E2E_PUBLISHER_HOST"

# A first run creates both files: the publisher's host is allowed, nothing is disallowed.
e2e_expect_file "$allowed" "$host\r\n"
e2e_expect_file "$disallowed" '\r\n'
e2e_expect_items List1 "$host"
e2e_expect_items List2

# Add buttons. Every add from the main window rewrites the whole file, which ends with an
# empty line.
e2e_driver set-text "$E2E_MAIN" Text1 a.com
e2e_driver click "$E2E_MAIN" Command1
e2e_expect_items List1 "$host" a.com
e2e_expect_file "$allowed" "$host\r\na.com\r\n\r\n"

e2e_driver set-text "$E2E_MAIN" Text2 b.org
e2e_driver click "$E2E_MAIN" Command4
e2e_expect_items List2 b.org
e2e_expect_file "$disallowed" 'b.org\r\n\r\n'

# Enter in a text box: a real key press in Text1, a key posted to Text2's message queue.
e2e_driver set-text "$E2E_MAIN" Text1 c.net
e2e_press "$E2E_MAIN" Text1 Return
e2e_expect_items List1 "$host" a.com c.net
e2e_expect_file "$allowed" "$host\r\na.com\r\nc.net\r\n\r\n"

e2e_driver set-text "$E2E_MAIN" Text2 d.info
e2e_driver key "$E2E_MAIN" Text2 RETURN
e2e_expect_items List2 b.org d.info
e2e_expect_file "$disallowed" 'b.org\r\nd.info\r\n\r\n'

# An exactly empty text and a single blank add nothing.
for text in "" " "; do
    e2e_driver set-text "$E2E_MAIN" Text1 "$text"
    e2e_driver click "$E2E_MAIN" Command1
    e2e_driver set-text "$E2E_MAIN" Text2 "$text"
    e2e_driver click "$E2E_MAIN" Command4
done
e2e_expect_items List1 "$host" a.com c.net
e2e_expect_items List2 b.org d.info
e2e_expect_file "$allowed" "$host\r\na.com\r\nc.net\r\n\r\n"
e2e_expect_file "$disallowed" 'b.org\r\nd.info\r\n\r\n'

# Delete buttons remove the selected item only.
e2e_driver select "$E2E_MAIN" List1 1
e2e_driver click "$E2E_MAIN" Command2
e2e_expect_items List1 "$host" c.net
e2e_expect_file "$allowed" "$host\r\nc.net\r\n\r\n"

e2e_driver select "$E2E_MAIN" List2 1
e2e_driver click "$E2E_MAIN" Command3
e2e_expect_items List2 b.org
e2e_expect_file "$disallowed" 'b.org\r\n\r\n'

# With nothing selected a delete does nothing.
e2e_driver select "$E2E_MAIN" List1 -1
e2e_driver click "$E2E_MAIN" Command2
e2e_driver select "$E2E_MAIN" List2 -1
e2e_driver click "$E2E_MAIN" Command3
e2e_expect_items List1 "$host" c.net
e2e_expect_items List2 b.org
e2e_expect_file "$allowed" "$host\r\nc.net\r\n\r\n"
e2e_expect_file "$disallowed" 'b.org\r\n\r\n'

# The Delete key: a real key press in List2, a key posted to List1's message queue.
e2e_driver select "$E2E_MAIN" List2 0
e2e_press "$E2E_MAIN" List2 Delete
e2e_expect_items List2
e2e_expect_file "$disallowed" '\r\n'

e2e_driver select "$E2E_MAIN" List1 0
e2e_driver key "$E2E_MAIN" List1 DELETE
e2e_expect_items List1 c.net
e2e_expect_file "$allowed" 'c.net\r\n\r\n'

# The files are the lists: a new start shows what they hold, without the empty lines.
e2e_exit
e2e_start
e2e_expect_items List1 c.net
e2e_expect_items List2
e2e_exit

e2e_passed
