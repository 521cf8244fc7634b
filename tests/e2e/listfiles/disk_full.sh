#!/usr/bin/env bash
# The program folder on a small tmpfs that fills up. With no room at all an add is refused
# whole; with room for the appended line but not for a rewrite's temporary file, the add keeps
# its line and the rewrite fails, and so does a delete's; the file is never cut short and no
# temporary file stays. Once there is room again, adds and deletes work. Needs root to mount:
# skipped (77) where mounting is not allowed.
# shellcheck source=_listfiles.sh
source "$(dirname "${BASH_SOURCE[0]}")/_listfiles.sh"

e2e_begin
page="$(getconf PAGESIZE)"
exe_bytes="$(stat -c %s "$E2E_DIR/QuellPane.exe")"
if ! mount -t tmpfs -o "size=$((exe_bytes + 64 * page))" tmpfs "$E2E_DIR" 2>"$E2E_DIR.mount"; then
    echo "SKIP: cannot mount a tmpfs on the program folder: $(cat "$E2E_DIR.mount")" >&2
    rm -f "$E2E_DIR.mount"
    E2E_PASSED=1
    exit 77
fi
rm -f "$E2E_DIR.mount"
unmount() {
    if [ -n "$E2E_PID" ] && kill -0 "$E2E_PID" 2>/dev/null; then
        e2e_driver menu "$E2E_MAIN" mnuFileItem 1 --post >/dev/null 2>&1 || true
        e2e_kill 30 2>/dev/null || true
    fi
    umount "$E2E_DIR" 2>/dev/null || umount -l "$E2E_DIR" || true
    e2e_end
}
trap unmount EXIT
cp "$E2E_BIN/QuellPane.exe" "$E2E_DIR/"
e2e_set_setting showHelp 0

allowed="$E2E_DIR/allowed.txt"
# Exactly two pages of entries: one more byte needs a page more.
{
    seq -f 'site%04g.example' 1 $((2 * page / 18 - 1)) | sed 's/$/\r/'
    head -c $((2 * page - (2 * page / 18 - 1) * 18 - 2)) /dev/zero | tr '\0' 'p'
    printf '\r\n'
} >"$allowed"
[ "$(stat -c %s "$allowed")" = $((2 * page)) ] || e2e_fail "allowed.txt is not two pages"
printf '\r\n' >"$E2E_DIR/disallowed.txt"
cp "$allowed" "$E2E_DIR.full-before"
e2e_start
entries="$(listfiles_count List1)"

fill() {  # pages to leave free
    rm -f "$E2E_DIR/filler" "$E2E_DIR/spare"
    if [ "$1" -gt 0 ]; then
        head -c $(($1 * page)) /dev/zero >"$E2E_DIR/spare"
    fi
    dd if=/dev/zero of="$E2E_DIR/filler" bs="$page" 2>/dev/null || true
    rm -f "$E2E_DIR/spare"
}

# No room at all: the append itself fails.
fill 0
e2e_driver set-text "$E2E_MAIN" Text1 full.example
e2e_driver click "$E2E_MAIN" Command1
listfiles_expect_status "Could not add to allowed.txt: *"
cmp -s "$E2E_DIR.full-before" "$allowed" || e2e_fail "allowed.txt changed by a refused add"
[ "$(listfiles_count List1)" = "$entries" ] || e2e_fail "List1 changed by a refused add"

# Room for the line, not for the rewrite.
fill 1
e2e_driver click "$E2E_MAIN" Command1
listfiles_expect_status "Could not save allowed.txt: *"
{ cat "$E2E_DIR.full-before" && printf 'full.example\r\n'; } | cmp -s - "$allowed" ||
    e2e_fail "allowed.txt is not the old list with the added line"
[ "$(listfiles_count List1)" = $((entries + 1)) ] || e2e_fail "List1 lacks the added entry"
e2e_driver select "$E2E_MAIN" List1 0
e2e_driver click "$E2E_MAIN" Command2
listfiles_expect_status "Could not save allowed.txt: *"
{ cat "$E2E_DIR.full-before" && printf 'full.example\r\n'; } | cmp -s - "$allowed" ||
    e2e_fail "allowed.txt changed by a delete that could not save"
[ "$(listfiles_count List1)" = $((entries + 1)) ] || e2e_fail "List1 lost an entry"
[ "$(listfiles_leftovers allowed.txt)" = 0 ] || e2e_fail "a temporary file stayed"

# Room again.
rm -f "$E2E_DIR/filler"
e2e_driver select "$E2E_MAIN" List1 0
e2e_driver click "$E2E_MAIN" Command2
e2e_driver set-text "$E2E_MAIN" Text1 again.example
e2e_driver click "$E2E_MAIN" Command1
{
    tail -n +2 "$E2E_DIR.full-before"
    printf 'full.example\r\nagain.example\r\n\r\n'
} | cmp -s - "$allowed" || e2e_fail "allowed.txt after the disk had room: $(tail -c 60 "$allowed" | e2e_bytes)"
[ "$(listfiles_count List1)" = $((entries + 1)) ] || e2e_fail "List1 after the disk had room"
e2e_exit
rm -f "$E2E_DIR.full-before"
e2e_passed
