# Sourced: the environment every Wine run of QuellPane uses.
# The prefix lives in the build tree; Mono and Gecko are never downloaded; the locale is pinned
# so the ANSI code page is Windows-1252.
_quell_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${QUELL_WINEPREFIX:-$_quell_root/build/wineprefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
export LANG=C.UTF-8 LC_ALL=C.UTF-8

# Creates the prefix once; concurrent callers wait for the first one.
quell_wine_prefix() {
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock 9
        if [ ! -f "$WINEPREFIX/.quell-ready" ]; then
            echo "Creating the Wine prefix at $WINEPREFIX (once)..." >&2
            wineboot -i >/dev/null 2>&1 || true
            # Wine has no Verdana, and what it substitutes depends on the fonts a machine has
            # collected: the designs' font is named here, one of the same width.
            wine reg add 'HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements' /v Verdana \
                /d 'DejaVu Sans' /f >/dev/null 2>&1 </dev/null || true
            wineserver -w
            touch "$WINEPREFIX/.quell-ready"
        fi
    ) 9>"$(dirname "$WINEPREFIX")/.wineprefix.lock"
}
