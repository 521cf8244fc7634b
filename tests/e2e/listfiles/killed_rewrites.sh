#!/usr/bin/env bash
# QuellPane killed (SIGKILL, nothing runs after it) at a random moment of a stream of adds from
# the main window, each an append and a full rewrite of a 20,000-entry allowed.txt, until 200
# rewrites have been done: after every kill the file is what it was before an add, or that
# with the add's entry appended, or a whole rewrite; never a torn one. A kill inside the replace
# may leave the list only in its flushed temporary file, the old name already gone: the next
# start moves the newest one into place, so that copy is then what is judged. The next start
# clears up every temporary file a kill left and shows every entry of the file.
# shellcheck source=_listfiles.sh
source "$(dirname "${BASH_SOURCE[0]}")/_listfiles.sh"

e2e_begin
e2e_set_setting showHelp 0
allowed="$E2E_DIR/allowed.txt"
base="$E2E_DIR.base"
seq -f 'site%05g.example' 1 20000 | sed 's/$/\r/' >"$base"
cp "$base" "$allowed"
printf '\r\n' >"$E2E_DIR/disallowed.txt"
entry() { printf 'x.example\r\n'; }

# The base list, n added entries and the rewrite's empty line, then maybe one more appended.
rewritten() {  # n appended
    cat "$base"
    for ((i = 0; i < $1; i++)); do
        entry
    done
    printf '\r\n'
    if [ "$2" = 1 ]; then
        entry
    fi
}

# The list as the next start will show it: the file, or when a kill left none, the newest
# temporary file.
surviving_list() {
    if [ -e "$allowed" ]; then
        cat "$allowed"
    else
        moved_away=$((moved_away + 1))
        # shellcheck disable=SC2012
        cat "$(ls -t "$E2E_DIR"/allowed.txt.~??????.tmp | head -1)"
    fi
}

# What the list may be after a kill in the middle of adds that began on the file `before`.
old_or_new() {  # before
    local n survivor="$E2E_DIR.after"
    surviving_list >"$survivor" 2>/dev/null
    n="$(grep -c '^x\.example' "$survivor" || true)"
    cmp -s "$1" "$survivor" ||
        { cat "$1" && entry; } | cmp -s - "$survivor" ||
        rewritten "$n" 0 | cmp -s - "$survivor" ||
        { [ "$n" -gt 0 ] && rewritten $((n - 1)) 1 | cmp -s - "$survivor"; }
}

rewrites=0
kills=0
moved_away=0
torn_temporaries=0
e2e_start
e2e_driver set-text "$E2E_MAIN" Text1 x.example
while ((rewrites < 200)); do
    cp "$allowed" "$E2E_DIR.before"
    before="$(grep -c '^x\.example' "$allowed" || true)"
    e2e_driver click "$E2E_MAIN" Command1 --repeat 100 >/dev/null 2>&1 &
    clicker=$!
    sleep "0.$((RANDOM % 9 + 1))$((RANDOM % 10))"
    kill -KILL "$E2E_PID"
    wait "$E2E_PID" || true
    E2E_PID=""
    wait "$clicker" || true
    kills=$((kills + 1))
    old_or_new "$E2E_DIR.before" ||
        e2e_fail "kill $kills: allowed.txt is neither the old list nor the new:" \
            "$(tail -c 80 "$E2E_DIR.after" | e2e_bytes)"
    after="$(grep -c '^x\.example' "$E2E_DIR.after" || true)"
    rewrites=$((rewrites + after - before))
    leftovers="$(listfiles_leftovers allowed.txt)"
    torn_temporaries=$((torn_temporaries + leftovers))
    e2e_log "kill $kills: $((after - before)) adds done, $leftovers temporary left"

    e2e_start
    [ "$(listfiles_leftovers allowed.txt)" = 0 ] || e2e_fail "a temporary file is still there"
    cmp -s "$E2E_DIR.after" "$allowed" || e2e_fail "the start did not restore the surviving list"
    entries="$(grep -c '\.example' "$allowed")"
    [ "$(listfiles_count List1)" = "$entries" ] ||
        e2e_fail "List1 shows $(listfiles_count List1) entries; allowed.txt holds $entries"
    e2e_driver set-text "$E2E_MAIN" Text1 x.example
done
e2e_log "[ figure ] $rewrites rewrites, $kills kills, $torn_temporaries left a temporary file," \
    "$moved_away left only the temporary file; every list was old or new"
e2e_exit
rm -f "$base" "$E2E_DIR.before" "$E2E_DIR.after"
e2e_passed
