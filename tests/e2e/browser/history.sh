#!/usr/bin/env bash
# The blocked popups of the run: a popup raised as NewWindow2 and then NewWindow3 shows in
# "Blocked Popups" with its own address and reason; "Open Popup" makes the stand-in open
# exactly that address once and the same request is blocked again; a javascript: address is
# refused with a message; "Allow Site" adds the site as the main window's Add does; "Save As…"
# writes the CSV.
# shellcheck source=_browser.sh
source "$(dirname "${BASH_SOURCE[0]}")/_browser.sh"

BLOCKED_CAPTION="Blocked Popups"
TIME='[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}'

expect_rows() {  # extended regular expression for the whole of the rows
    local rows
    for _ in $(seq 50); do
        rows="$(e2e_driver rows "$blocked" lvwBlocked)"
        if [ -z "$1" ] && [ -z "$rows" ]; then
            return 0
        fi
        # Bash matches across lines, which grep does not.
        if [ -n "$rows" ] && [[ "$rows"$'\n' =~ ^$1$ ]]; then
            return 0
        fi
        sleep 0.2
    done
    e2e_fail "Blocked Popups rows: expected /$1/, saw: $(e2e_show "$rows")"
}

br_begin
br_standin_start http://opener.example/index.html --raise 23 --popup http://pop.example/ad.html
e2e_start
browser="$(br_window_captioned http://opener.example/index.html)"
e2e_driver click "$E2E_MAIN" Check2
e2e_expect_status "Setup Mode Disabled"
br_blocked_once_attached "$browser"
br_expect_unasked 1 0 2+3

e2e_driver menu "$E2E_MAIN" mnuActionItem 2
blocked="$(e2e_driver wait-window --title "$BLOCKED_CAPTION" --visible)"
expect_rows "$TIME	opener.example	http://pop.example/ad.html	not on the allowed list
"

# Open Popup: that address, once, in a window of the stand-in; the same request again is
# blocked and shows on top, live.
e2e_driver select-row "$blocked" lvwBlocked 0
e2e_driver click "$blocked" cmdOpen --post
BR_REQUEST=$((++BR_REQUESTS))
br_expect_request "$BR_REQUEST" 0 1
line="$(br_request_line "$BR_REQUEST")"
[[ "$line" == *" url=http://pop.example/ad.html"* ]] || br_fail "opened request: $line"
br_window_captioned http://pop.example/ad.html >/dev/null
br_popup "$browser"
br_expect_unasked 1 0 2+3
expect_rows "($TIME	opener.example	http://pop.example/ad.html	not on the allowed list
){2}"

e2e_mouse_park
e2e_screenshot blocked-popups "$blocked"

# A script address from a page is refused with a message, and nothing is asked of the browser.
e2e_driver set-text "$browser" 105 'javascript:alert(1)'
br_popup "$browser"
br_expect_unasked 1 0 2+3
expect_rows "$TIME	opener.example	javascript:alert\\(1\\)	not on the allowed list
($TIME	opener.example	http://pop.example/ad.html	not on the allowed list
){2}"
e2e_driver select-row "$blocked" lvwBlocked 0
e2e_driver click "$blocked" cmdOpen --post
message="$(e2e_driver wait-window --title QuellPane --class '#32770' --visible)" ||
    e2e_fail "no message for a javascript: address"
e2e_driver text "$message" 65535 | grep -q "Only http: and https: addresses are opened" ||
    e2e_fail "the message does not say why"
e2e_driver close "$message"
e2e_driver wait-gone "$message" --timeout 15000
sleep 1
br_request_line $((BR_REQUESTS + 1)) 0 >/dev/null && br_fail "a refused address was opened"

# Allow Site: the main window's Add path, byte for byte.
before="$(e2e_driver list-items "$E2E_MAIN" List1)"
e2e_driver click "$blocked" cmdAllow
e2e_expect_items List1 $before opener.example
e2e_expect_file "$E2E_DIR/allowed.txt" "$(printf '%s\\r\\n' $before)opener.example\\r\\n\\r\\n"
e2e_expect_status "$(e2e_driver status "$E2E_MAIN")"

# Save As…: the common file dialog, then the CSV.
e2e_driver click "$blocked" cmdSave --post
dialog="$(e2e_driver wait-window --title "Save Blocked Popups" --visible)"
e2e_driver set-text "$dialog" 1152 "$E2E_WIN_DIR\\blocked.csv" 2>/dev/null ||
    e2e_driver set-text "$dialog" 1148 "$E2E_WIN_DIR\\blocked.csv"
e2e_driver click "$dialog" 1 --post
e2e_driver wait-gone "$dialog" --timeout 15000
for _ in $(seq 50); do [ -s "$E2E_DIR/blocked.csv" ] && break; sleep 0.2; done
csv="$(tr -d '\r' <"$E2E_DIR/blocked.csv" | sed -E "s/^$TIME,/T,/")"
e2e_expect_equal "time,site,opener,popup,reason
T,opener.example,http://opener.example/index.html,javascript:alert(1),not on the allowed list
T,opener.example,http://opener.example/index.html,http://pop.example/ad.html,not on the allowed list
T,opener.example,http://opener.example/index.html,http://pop.example/ad.html,not on the allowed list" \
    "$csv" "the saved CSV"
[ "$(grep -c $'\r$' "$E2E_DIR/blocked.csv")" = 4 ] || e2e_fail "the CSV's lines must end in CR LF"

e2e_driver click "$blocked" cmdClear
expect_rows ""
e2e_exit
br_standin_stop
e2e_passed
