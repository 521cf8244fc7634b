#!/usr/bin/env bash
# Builds everything and runs every test: native (with sanitizers and fuzz targets), then the
# Windows program's tests under Wine. Ends with CTest's summary.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

"$root/scripts/deps.sh" || exit 1
# The tests' own prefix: what they set in it never reaches the one the run command uses.
export QUELL_WINEPREFIX="$root/build/test-wineprefix"
source "$root/scripts/wine-env.sh"
source "$root/scripts/display.sh"

native_job=""
cleanup() {
    [ -z "$native_job" ] || kill "$native_job" 2>/dev/null || true
    wineserver -k >/dev/null 2>&1 || true
    quell_stop_display
}
trap cleanup EXIT

# The Windows tests spend most of their time waiting on Wine and the display, so the native
# build and its tests run beside them; their output follows the Windows summary.
set -e
cmake --preset windows >/dev/null
cmake --build --preset windows
cmake --preset native >/dev/null
set +e
native_log="$root/build/native-tests.log"
# Niced: the end-to-end tests wait on cross-process calls, whose latency grows with every
# compiler that competes for the cores.
(
    nice -n 10 cmake --build --preset native && nice -n 10 ctest --preset native -j2
) >"$native_log" 2>&1 </dev/null &
native_job=$!

quell_display
quell_wine_prefix
# Start Wine's server and its background services here, detached from CTest's output pipes:
# started by the first test instead, they would hold those pipes open and CTest would wait.
wineserver -p >/dev/null 2>&1 </dev/null
wine cmd /c exit >/dev/null 2>&1 </dev/null || true
# With no window manager, Wine waits two seconds for one at every hide or destroy of a managed
# window; the stand-in browser opens and closes many, so it runs unmanaged here.
wine reg add 'HKCU\Software\Wine\AppDefaults\StandInBrowser.exe\X11 Driver' /v Managed /d N /f \
    >/dev/null 2>&1 </dev/null || true

ctest --preset windows
windows=$?
wait "$native_job"
native=$?
echo "=== native build and tests (also in $native_log)"
cat "$native_log"
[ $native -eq 0 ] && [ $windows -eq 0 ]
