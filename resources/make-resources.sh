#!/usr/bin/env bash
# Makes QuellPane's generated resources, which are committed so that the build needs none of
# these tools: the icons and button pictures (icons/*.ico, drawn by art/icons.py), the pop
# sound (sounds/pop.wav, sox) and the help document (help/Help.rtf, pandoc). Every output is
# the same byte for byte on every run (no timestamps, fixed random seed, no dither).
#
#   make-resources.sh               writes the files in place
#   make-resources.sh --check       makes them in a temporary folder and compares; fails on a
#                                   difference (a source changed without regenerating), exits
#                                   77 when a tool is missing
#   make-resources.sh --sheet PNG   also writes a contact sheet of every icon (ImageMagick)
#
# Needs python3 (standard library only), sox, pandoc and, for --sheet, ImageMagick. Made with
# Debian 12's sox 14.4.2 and pandoc 2.17; other versions may give other bytes.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

check=0
sheet=""
while [ $# -gt 0 ]; do
    case "$1" in
        --check) check=1 ;;
        --sheet) sheet="$(realpath -m "$2")"; shift ;;
        *) echo "usage: $0 [--check] [--sheet OUT.png]" >&2; exit 2 ;;
    esac
    shift
done

out="$here"
if [ "$check" = 1 ]; then
    for tool in python3 sox pandoc; do
        command -v "$tool" >/dev/null ||
            { echo "skipped: $tool is not installed" >&2; exit 77; }
    done
    out="$(mktemp -d)"
    trap 'rm -rf "$out"' EXIT
fi
mkdir -p "$out/icons" "$out/sounds" "$out/help"

python3 -B "$here/art/icons.py" "$out/icons"

# The pop: a sine falling from 900 Hz to 140 Hz over 70 ms under a half-sine decay, peak at
# -3 dB. -R: repeatable; -D: no dither (dither adds random noise to every run).
sox -R -D -n -r 22050 -b 16 -c 1 -e signed-integer "$out/sounds/pop.wav" \
    synth 0.07 sine 900:140 fade h 0.001 0.07 0.062 gain -n -3

# -smart keeps straight quotes, so the window's own texts ("aren't") appear exactly.
pandoc -s -f markdown-smart -t rtf "$here/help/Help.md" -o "$out/help/Help.rtf"

if [ -n "$sheet" ]; then
    "$here/art/sheet.sh" "$sheet" "$out"/icons/*.ico
fi

if [ "$check" = 1 ]; then
    status=0
    for file in "$out"/icons/*.ico "$out/sounds/pop.wav" "$out/help/Help.rtf"; do
        committed="$here/${file#"$out"/}"
        if ! cmp -s "$file" "$committed"; then
            echo "differs from what the sources make: ${committed#"$here"/}" >&2
            status=1
        fi
    done
    for committed in "$here"/icons/*.ico; do
        [ -e "$out/icons/$(basename "$committed")" ] ||
            { echo "no longer made: icons/$(basename "$committed")" >&2; status=1; }
    done
    exit $status
fi
