#!/usr/bin/env bash
# Builds QuellPane.exe and starts it under Wine (on Xvfb when this machine has no display).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

"$root/scripts/deps.sh"
source "$root/scripts/wine-env.sh"
source "$root/scripts/display.sh"

cmake --preset windows >/dev/null
cmake --build --preset windows --target QuellPane StandInBrowser

quell_display
trap quell_stop_display EXIT
quell_wine_prefix
# Internet Explorer does not exist here: a stand-in browser of ours publishes the same
# automation interfaces, so popups raised from it are decided live by QuellPane.
echo "Starting a stand-in browser and QuellPane on display $DISPLAY." >&2
echo "Click \"Popup\" in the stand-in browser to raise a popup; exit QuellPane from its File menu." >&2
wine "$root/build/windows/bin/StandInBrowser.exe" >/dev/null 2>&1 &
wine "$root/build/windows/bin/QuellPane.exe"
wineserver -k >/dev/null 2>&1 || true
