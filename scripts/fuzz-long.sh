#!/usr/bin/env bash
# Runs every fuzz target for at least 10 million executions (not part of the test command:
# it takes a while). Prints each target's executions and whether it found a crash; a crash
# leaves its input in build/native/fuzz-long/<target>/ and makes the script end with status 1.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
runs="${QUELL_FUZZ_RUNS:-10000000}"
cd "$root" || exit 1
cmake --preset native >/dev/null || exit 1
targets=$(sed -n 's/^ *foreach(target IN ITEMS \(fuzz_.*\))$/\1/p' tests/CMakeLists.txt)
# shellcheck disable=SC2086
cmake --build --preset native --target $targets || exit 1
status=0
for target in $targets; do
    work="$root/build/native/fuzz-long/$target"
    mkdir -p "$work/corpus"
    log="$work/run.log"
    limit=()
    if [ "$target" = fuzz_browserevents ]; then
        # An event takes a few bytes: longer inputs only repeat them, at a third of the speed.
        limit=(-max_len=256)
    fi
    start=$(date +%s)
    (cd "$work" && "$root/build/native/tests/$target" -runs="$runs" -rss_limit_mb=1024 \
        "${limit[@]}" -print_final_stats=1 corpus "$root/tests/fuzz/seeds") >"$log" 2>&1
    result=$?
    done_runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    crashes=$(find "$work" -maxdepth 1 -name 'crash-*' -o -maxdepth 1 -name 'leak-*' \
        -o -maxdepth 1 -name 'timeout-*' | wc -l)
    echo "$target: ${done_runs:-?} executions in $(($(date +%s) - start)) s, exit $result," \
        "$crashes crash inputs"
    if [ "$result" -ne 0 ] || [ "$crashes" -ne 0 ]; then
        status=1
        tail -n 30 "$log"
    fi
done
exit $status
