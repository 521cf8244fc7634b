#!/usr/bin/env bash
# A first run, from the splash to the exit: no settings and no list files. The splash alone
# first (borderless, centred, out of the taskbar), then the main window with the first-run
# options, the new list files and the help window; the about window and its website line; the
# help window again from the menu; and the exit with both windows open.
# shellcheck source=_program.sh
source "$(dirname "${BASH_SOURCE[0]}")/_program.sh"
program_begin
if [ -e "$E2E_DIR/allowed.txt" ] || [ -e "$E2E_DIR/disallowed.txt" ]; then
    e2e_fail "the fresh program folder already holds list files"
fi

program_start_watched --splash

# --- the splash: seen while it was the only window, and kept, hidden, after the hand-over ---
splash_seen="$(cat "$PROGRAM_TIMELINE.splash")"
[[ "$splash_seen" == *_NET_WM_STATE_SKIP_TASKBAR* ]] ||
    e2e_fail "the splash was listed in the taskbar while shown: $splash_seen"
if [[ "$splash_seen" == *program-splash.png* ]]; then
    e2e_log "screenshot $E2E_ARTEFACTS/program-splash.png"
else
    e2e_log "the splash was not seen alone and painted: no screenshot of it"
fi
program_at_least "$PROGRAM_SPLASH_SECONDS" 0.7 ||
    e2e_fail "the splash was shown for $PROGRAM_SPLASH_SECONDS s, not the 75 ticks of 10 ms"
splash="$(e2e_driver wait-window --title "$PROGRAM_SPLASH" --exe QuellPane.exe --timeout 1000)"
e2e_expect_equal 0 "$(e2e_driver visible "$splash")" "splash shown after the hand-over"
read -r screen_width screen_height < <(xdotool getdisplaygeometry)
centred="478x318+$(((screen_width - 478) / 2))+$(((screen_height - 318) / 2))"
e2e_expect_equal "$centred" "$(e2e_driver screenshot-rect "$splash" --frame)" "splash window"
# No frame and no caption: the client area is the whole window.
e2e_expect_equal "$centred" "$(e2e_driver screenshot-rect "$splash")" "splash client area"
e2e_expect_equal "$centred" "$(sed -n 's/^geometry //p' <<<"$splash_seen")" \
    "splash on screen while shown"

# --- the first-run state ---
e2e_expect_file "$E2E_DIR/allowed.txt" "$E2E_PUBLISHER_HOST\r\n"
e2e_expect_file "$E2E_DIR/disallowed.txt" '\r\n'
e2e_expect_items List1 "$E2E_PUBLISHER_HOST"
e2e_expect_items List2
for box_value in Check1=1 Check2=1 Check5=1 Check3=0 Check4=0 Check6=0; do
    e2e_expect_check "${box_value%=*}" "${box_value#*=}"
done
e2e_expect_status "0 Popups blocked to date" 1
e2e_expect_equal normal "$(e2e_driver window-state "$E2E_MAIN")" "main window state"
# Restoring the sound switch as on runs its click, which saves it; the help window's box saves
# only when clicked.
e2e_expect_setting chkSound 1
e2e_expect_setting showHelp "<absent>"
program_expect_in_taskbar "$E2E_MAIN_CAPTION" 1

# --- the help window, opened by the start ---
e2e_driver visible "$PROGRAM_HELP" --expect 1 --timeout 5000 >/dev/null
e2e_driver topmost "$PROGRAM_HELP" --expect 1 >/dev/null
e2e_driver check-value "$PROGRAM_HELP" Check1 --expect 1 >/dev/null
e2e_expect_equal "Show at Startup" "$(e2e_driver text "$PROGRAM_HELP" Check1)" "help check box"
program_expect_in_taskbar "$PROGRAM_HELP" 0
e2e_mouse_park
e2e_screenshot program-help "$PROGRAM_HELP"
e2e_driver close "$PROGRAM_HELP"
e2e_driver wait-gone "$PROGRAM_HELP"
e2e_screenshot program-main "$E2E_MAIN"

# --- the about window and its website line ---
e2e_driver menu "$E2E_MAIN" mnuAboutItem 0
about="$(e2e_driver wait-window --title "$PROGRAM_ABOUT" --exe QuellPane.exe --visible)"
while IFS='|' read -r control text; do
    e2e_expect_equal "$text" "$(e2e_driver text "$about" "$control")" "about window's $control"
done <<EOF
Label1|$E2E_PRODUCT
lblVersion|1.0
lblCompany|$(e2e_product_value QUELL_COMPANY_NAME)
lblWebsite|$E2E_PUBLISHER_HOST
Label2|Version:
Label3|Owned By:
Label4|Website:
EOF
program_expect_in_taskbar "$PROGRAM_ABOUT" 1
e2e_mouse_park
e2e_screenshot program-about "$about"

opened="$E2E_DIR/opened.txt"
program_record_browser "$opened"
# Two real clicks on the website line, far enough apart not to make a double click, inside
# the second the link opener lives: one page.
read -r x1 y < <(program_point "$about" 7455 2535 3000 2250)
read -r x2 _ < <(program_point "$about" 7455 2535 3600 2250)
e2e_driver focus "$about"
xdotool mousemove "$x1" "$y" click 1 mousemove "$x2" "$y" click 1
program_wait_lines "$opened" 1
program_wait_no_window ""
e2e_expect_equal "http://$E2E_PUBLISHER_HOST" "$(program_lines "$opened")" \
    "addresses opened by two quick clicks"
# Once the opener is gone, the next click opens the page again.
xdotool mousemove "$x1" "$y" click 1
program_wait_lines "$opened" 2
e2e_expect_equal "$(printf 'http://%s\n' "$E2E_PUBLISHER_HOST" "$E2E_PUBLISHER_HOST")" \
    "$(program_lines "$opened")" "addresses opened by a third, later click"

# --- the help window again, from the menu ---
e2e_driver menu "$E2E_MAIN" mnuHelpItem 0
e2e_driver wait-window --title "$PROGRAM_HELP" --exe QuellPane.exe --visible >/dev/null
e2e_driver topmost "$PROGRAM_HELP" --expect 1 >/dev/null
e2e_driver check-value "$PROGRAM_HELP" Check1 --expect 1 >/dev/null

# --- exit with the help and about windows open ---
e2e_driver click "$E2E_MAIN" Check2
e2e_expect_status "Setup Mode Disabled"
e2e_expect_equal "1 1" "$(e2e_driver visible "$about") $(e2e_driver visible "$PROGRAM_HELP")" \
    "about and help windows shown before the exit"
program_exit_with "$PROGRAM_HELP" "$PROGRAM_ABOUT"
while read -r name value; do
    e2e_expect_setting "$name" "$value"
done <<'EOF'
chkStopPop 1
chkAuto 0
chkLinks 0
chkSound 1
chkOnTop 0
chkRunAtStart 0
intStopped 0
state up
EOF
e2e_expect_setting showHelp "<absent>"
e2e_passed
