#!/usr/bin/env bash
# A contact sheet of .ico files for looking at: each row one icon, read back by ImageMagick
# (so it also shows that the files parse), at 16 px (actual and 4x), 32 px and 48 px, on a
# light and on a dark background.  Usage: sheet.sh OUT.png FILE.ico...
set -euo pipefail
out=$1
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

frame() {  # frame FILE SIZE: the index of that size's image in the .ico
    identify -format '%p %w\n' "$1" | awk -v s="$2" '$2 == s { print $1; exit }'
}

tiles=()
for ico in "$@"; do
    name=$(basename "$ico" .ico)
    convert -size 96x56 xc:'#9a9a9a' -gravity west -pointsize 13 -annotate +2+0 "$name" \
        "$work/$name-label.png"
    tiles+=("$work/$name-label.png")
    for size in 16 32 48; do
        index=$(frame "$ico" "$size")
        [ -n "$index" ] || { echo "$ico has no ${size} px image" >&2; exit 1; }
        convert "${ico}[${index}]" "$work/$name-$size.png"
    done
    for bg in '#ffffff' '#2b2b2b'; do
        convert "$work/$name-16.png" -background "$bg" -flatten -filter point -resize 400% \
            "$work/$name-16x4-$bg.png"
        for size in 16 32 48; do
            convert -size 56x56 "xc:$bg" "$work/$name-$size.png" -gravity center -composite \
                "$work/$name-$size-$bg.png"
        done
        tiles+=("$work/$name-16-$bg.png" "$work/$name-16x4-$bg.png" "$work/$name-32-$bg.png"
                "$work/$name-48-$bg.png")
    done
done
montage "${tiles[@]}" -tile 9x -geometry +4+4 -background '#9a9a9a' "$out"
