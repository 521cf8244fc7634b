#!/usr/bin/env bash
# Runs a Windows program under Wine with QuellPane's prefix (created on first use).
# Used by CTest as the cross-compiling emulator and by the run and test scripts.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=wine-env.sh
source "$here/wine-env.sh"
quell_wine_prefix
exec wine "$@"
