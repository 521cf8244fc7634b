# shellcheck shell=bash
# Shared by the list-file suite.
# shellcheck source=../lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../lib.sh"

# The status line matches a pattern (bash's * for any text) within 5 s.
listfiles_expect_status() {  # pattern
    local seen=""
    for _ in $(seq 50); do
        seen="$(e2e_driver status "$E2E_MAIN" 2)"
        # shellcheck disable=SC2053
        if [[ "$seen" == $1 ]]; then
            return 0
        fi
        sleep 0.1
    done
    e2e_fail "status line: expected [$1], saw [$seen]"
}

# Our own temporary files of a rewrite, left in the program folder.
listfiles_leftovers() {  # list file name
    find "$E2E_DIR" -maxdepth 1 -name "$1.~??????.tmp" | wc -l
}

# A list box's number of items (LB_GETCOUNT): reading millions of items one by one would take
# minutes.
listfiles_count() {  # list
    e2e_driver send-message "$E2E_MAIN" 0x018B --control "$1"
}

# Seconds since the epoch, to the millisecond.
listfiles_now() {
    date +%s.%N
}

listfiles_seconds() {  # from [to]
    awk -v from="$1" -v to="${2:-$(listfiles_now)}" 'BEGIN { printf "%.3f", to - from }'
}

listfiles_below() {  # value bound: status 0 when value < bound
    awk -v value="$1" -v bound="$2" 'BEGIN { exit !(value < bound) }'
}
