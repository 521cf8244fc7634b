#!/usr/bin/env bash
# Builds QuellPane.exe and starts it under Wine (on Xvfb when this machine has no display).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

"$root/scripts/deps.sh"
source "$root/scripts/wine-env.sh"
source "$root/scripts/display.sh"

cmake --preset windows >/dev/null
cmake --build --preset windows --target QuellPane

quell_display
trap quell_stop_display EXIT
quell_wine_prefix
echo "Starting QuellPane on display $DISPLAY (close its window or press Ctrl+C to stop)." >&2
wine "$root/build/windows/bin/QuellPane.exe"
