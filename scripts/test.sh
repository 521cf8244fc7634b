#!/usr/bin/env bash
# Builds everything and runs every test: native (with sanitizers and fuzz targets), then the
# Windows program's tests under Wine. Ends with CTest's summary.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

"$root/scripts/deps.sh" || exit 1
source "$root/scripts/wine-env.sh"
source "$root/scripts/display.sh"

cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    quell_stop_display
}
trap cleanup EXIT

set -e
cmake --preset native >/dev/null
cmake --build --preset native
cmake --preset windows >/dev/null
cmake --build --preset windows
set +e

quell_display
quell_wine_prefix
# Start Wine's server and its background services here, detached from CTest's output pipes:
# started by the first test instead, they would hold those pipes open and CTest would wait.
wineserver -p >/dev/null 2>&1 </dev/null
wine cmd /c exit >/dev/null 2>&1 </dev/null || true

ctest --preset native -j2
native=$?
ctest --preset windows
windows=$?
[ $native -eq 0 ] && [ $windows -eq 0 ]
