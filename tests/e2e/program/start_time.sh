#!/usr/bin/env bash
# How long a start takes, from the process's start to the main window on screen, over several
# starts with the settings a first run leaves (the help window opens each time); every start
# also hands over from the splash to the main window in order, the splash up for its 75 ticks.
# The figures go to ${build}/artefacts/program-start-times.txt.
# shellcheck source=_program.sh
source "$(dirname "${BASH_SOURCE[0]}")/_program.sh"
program_begin
starts=5
start_seconds=()
exit_seconds=()
for ((run = 1; run <= starts; run++)); do
    program_start_watched
    program_at_least "$PROGRAM_SPLASH_SECONDS" 0.7 ||
        e2e_fail "start $run: the splash was shown for $PROGRAM_SPLASH_SECONDS s"
    start_seconds+=("$PROGRAM_START_SECONDS")
    asked="$(program_uptime)"
    e2e_exit
    exit_seconds+=("$(program_elapsed "$asked" "$(program_uptime)")")
done

mkdir -p "$E2E_ARTEFACTS"
{
    echo "process start to main window shown (s): ${start_seconds[*]}"
    echo "median: $(e2e_median "${start_seconds[@]}")"
    echo "File > Exit to process end (s): ${exit_seconds[*]}"
    echo "median: $(e2e_median "${exit_seconds[@]}")"
} | tee "$E2E_ARTEFACTS/program-start-times.txt" >&2
e2e_passed
