#!/usr/bin/env bash
# What a Windows user is given, in a Wine prefix made afresh for this test: the checksums hold;
# the portable zip runs from a folder of its own; the installer installs silently for this user
# alone (files, Start-menu shortcut, installed-programs entry) and QuellPane starts from there;
# an update with QuellPane running ends it cleanly and keeps the lists byte for byte; a silent
# uninstall, QuellPane running again, ends it, leaves no program file, Run value or Tools-menu
# entry in either registry view, and keeps the lists and the settings; an uninstall that is
# told yes when it asks deletes them too.
# shellcheck source=../program/_program.sh
source "$(dirname "${BASH_SOURCE[0]}")/../program/_program.sh"

version="$(e2e_product_value QUELL_VERSION_TEXT)"
dist="$E2E_BUILD/dist"
setup="$dist/$E2E_PRODUCT-$version-setup.exe"
portable="$dist/$E2E_PRODUCT-$version-portable.zip"
if [ ! -f "$setup" ] && ! command -v makensis >/dev/null; then
    echo "SKIP: makensis is not installed (scripts/deps.sh installs it)" >&2
    exit 77
fi
if [ ! -f "$setup" ] || [ ! -f "$portable" ]; then
    e2e_fail "no $setup or $portable: build first"
fi

# The prefix of a machine that has never seen QuellPane; Wine's menu builder would copy the
# Start-menu shortcut into the Linux desktop's menus.
export WINEPREFIX="$E2E_BUILD/install-wineprefix"
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
rm -rf "$WINEPREFIX"

install_end() {
    program_end
    wineserver -k >/dev/null 2>&1 || true
    if [ "$E2E_PASSED" = 1 ]; then
        rm -rf "$WINEPREFIX"
    fi
}
trap install_end EXIT

seconds_since() {  # uptime
    program_elapsed "$1" "$(program_uptime)"
}

# One measured step, logged as a figure.
timed() {  # label command...
    local from
    from="$(program_uptime)"
    "${@:2}"
    e2e_log "[ figure ] $1: $(seconds_since "$from") s"
}

timed "new Wine prefix" e2e_session_start
(cd "$dist" && sha256sum --quiet -c SHA256SUMS) || e2e_fail "SHA256SUMS does not hold"
e2e_expect_equal "$(basename "$portable") $(basename "$setup")" \
    "$(awk '{ print $2 }' "$dist/SHA256SUMS" | sort | xargs)" "files named in SHA256SUMS"

windows_path() {  # variable: its value in the prefix, as Windows gives it
    wine cmd /c echo "%$1%" </dev/null 2>/dev/null | tr -d '\r'
}
install_win="$(windows_path LOCALAPPDATA)\\Programs\\$E2E_PRODUCT"
install_dir="$(winepath -u "$install_win" 2>/dev/null)"
install_dir="${install_dir%/}"
shortcut="$(winepath -u "$(windows_path APPDATA)\\Microsoft\\Windows\\Start Menu\\Programs\\$E2E_PRODUCT.lnk" \
    2>/dev/null)"
uninstall_key="HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$E2E_PRODUCT"
program_files=(QuellPane.exe Help.rtf icon.ico hoticon.ico sounds/pop.wav)

# e2e_start and e2e_exit run the copy in this folder.
use_folder() {  # unix-path windows-path
    E2E_DIR="$1"
    E2E_WIN_DIR="$2"
}

files_in() {  # folder: every file below it, one a line, sorted
    (cd "$1" && find . -type f | sed 's|^\./||' | sort)
}

# --- the portable zip: unpacked anywhere writable, it runs and makes its lists there ---
e2e_set_setting showHelp 0
python3 -m zipfile -e "$portable" "$WINEPREFIX/drive_c/Portable"
e2e_expect_equal "$(printf '%s\n' "${program_files[@]}" | sort)" \
    "$(files_in "$WINEPREFIX/drive_c/Portable/$E2E_PRODUCT")" "files of the portable zip"
use_folder "$WINEPREFIX/drive_c/Portable/$E2E_PRODUCT" "C:\\Portable\\$E2E_PRODUCT"
e2e_start
e2e_expect_file "$E2E_DIR/allowed.txt" "$E2E_PUBLISHER_HOST\r\n"
e2e_exit

# --- silent install ---
timed "silent install" wine "$setup" /S </dev/null
for file in "${program_files[@]}"; do
    cmp "$E2E_BIN/$file" "$install_dir/$file" || e2e_fail "installed $file differs from the build's"
done
[ -f "$install_dir/Uninstall.exe" ] || e2e_fail "no Uninstall.exe"
[ -f "$shortcut" ] || e2e_fail "no Start-menu shortcut $shortcut"
grep -aq "QuellPane.exe" "$shortcut" || e2e_fail "the shortcut does not name QuellPane.exe"
total_bytes="$(find "$install_dir" -type f -printf '%s+')0"
size_kb=$(((total_bytes) / 1024))
e2e_expect_equal "$(sort <<EOF
DisplayIcon|REG_SZ|$install_win\\QuellPane.exe
DisplayName|REG_SZ|$E2E_PRODUCT
DisplayVersion|REG_SZ|$version
EstimatedSize|REG_DWORD|$(printf '0x%x' "$size_kb")
InstallLocation|REG_SZ|$install_win
NoModify|REG_DWORD|0x1
NoRepair|REG_DWORD|0x1
Publisher|REG_SZ|$(e2e_product_value QUELL_COMPANY_NAME)
QuietUninstallString|REG_SZ|"$install_win\\Uninstall.exe" /S
UninstallString|REG_SZ|"$install_win\\Uninstall.exe"
EOF
)" "$(program_reg_dump "$uninstall_key")" "the installed-programs entry"

# Lists of the user's own, one without a last line end, and one site added from the program.
use_folder "$install_dir" "$install_win"
printf 'friend.example\r\n' >"$E2E_DIR/allowed.txt"
printf 'bad.example' >"$E2E_DIR/disallowed.txt"
e2e_start
e2e_driver set-text "$E2E_MAIN" Text1 added.example
e2e_driver click "$E2E_MAIN" Command1
e2e_expect_file "$E2E_DIR/allowed.txt" 'friend.example\r\nadded.example\r\n\r\n'
e2e_expect_items List2 bad.example
saved="$WINEPREFIX/saved-lists"
mkdir -p "$saved"
cp "$E2E_DIR/allowed.txt" "$E2E_DIR/disallowed.txt" "$saved/"

expect_lists_kept() {
    local list
    for list in allowed.txt disallowed.txt; do
        cmp "$saved/$list" "$E2E_DIR/$list" || e2e_fail "$list changed"
    done
}

# --- update over it while it runs: ended as File > Exit ends it (the counter saved again) ---
e2e_reg_delete "$E2E_SETTINGS_KEY\\Settings" intStopped
timed "silent update, QuellPane running" wine "$setup" /S </dev/null
e2e_wait_end
e2e_expect_setting intStopped 0
expect_lists_kept
cmp "$E2E_BIN/QuellPane.exe" "$install_dir/QuellPane.exe"

# --- the shell entries, in every place the program may put them ---
e2e_start
e2e_driver click "$E2E_MAIN" Check4
e2e_expect_status "Run On Startup Enabled"
e2e_driver menu "$E2E_MAIN" mnuToolsItem 0
e2e_expect_status "Added to the browser's Tools menu."
# As a per-user fallback and the other registry view leave them.
for root in HKEY_LOCAL_MACHINE HKEY_CURRENT_USER; do
    for view in 32 64; do
        wine reg add "$root\\${E2E_RUN_KEYS[0]#*\\}" /v "$E2E_PRODUCT" /d "$(e2e_run_data)" /f \
            "/reg:$view" >/dev/null 2>&1 </dev/null
        wine reg add "$root\\$PROGRAM_TOOLS_KEY" /v Exec /d "$E2E_WIN_DIR\\QuellPane.exe" /f \
            "/reg:$view" >/dev/null 2>&1 </dev/null
    done
done
e2e_expect_reg "HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\${E2E_RUN_KEYS[0]#*\\Software\\}" \
    "$E2E_PRODUCT" "$(e2e_run_data)"

# Whether a registry value or key exists, in one view.
reg_has() {  # view key [value]
    wine reg query "$2" ${3:+/v "$3"} "/reg:$1" >/dev/null 2>&1 </dev/null
}

# --- silent uninstall while it runs ---
uninstall() {  # [/S]
    wine "$install_win\\Uninstall.exe" "$@" </dev/null
}
uninstalled() {
    ! reg_has 64 "$uninstall_key" && [ ! -e "$install_dir/Uninstall.exe" ]
}
wait_uninstalled() {
    e2e_wait_until 300 uninstalled || e2e_fail "still installed 30 s after the uninstall started"
}
from="$(program_uptime)"
uninstall /S
e2e_wait_end
wait_uninstalled
e2e_log "[ figure ] silent uninstall, QuellPane running: $(seconds_since "$from") s"
e2e_expect_equal "$(printf '%s\n' allowed.txt disallowed.txt)" "$(files_in "$install_dir")" \
    "files left in the program's folder"
expect_lists_kept
[ ! -e "$shortcut" ] || e2e_fail "the Start-menu shortcut is still there"
for root in HKEY_LOCAL_MACHINE HKEY_CURRENT_USER; do
    for view in 32 64; do
        ! reg_has "$view" "$root\\${E2E_RUN_KEYS[0]#*\\}" "$E2E_PRODUCT" ||
            e2e_fail "a Run value is left under $root ($view-bit)"
        ! reg_has "$view" "$root\\$PROGRAM_TOOLS_KEY" ||
            e2e_fail "a Tools-menu entry is left under $root ($view-bit)"
    done
done
e2e_expect_setting showHelp 0

# --- an uninstall told yes when it asks about the lists and settings ---
wine "$setup" /S </dev/null
(
    trap - ERR
    uninstall >/dev/null 2>&1
) &
uninstaller_window() {  # the uninstaller's dialog, and its question once it asks
    e2e_driver list-windows | awk -v title="caption=\"$E2E_PRODUCT Uninstall" \
        '$3 == "visible=1" && index($0, "class=#32770") && index($0, title) { print $1 }'
}
uninstaller_windows_are() {  # count
    [ "$(uninstaller_window | wc -l)" -ge "$1" ]
}
e2e_wait_until 200 uninstaller_windows_are 1 || e2e_fail "no uninstaller window"
confirm="$(uninstaller_window)"
e2e_driver post-message "$confirm" WM_COMMAND 1  # "Uninstall"
e2e_wait_until 200 uninstaller_windows_are 2 || e2e_fail "no question asked"
question="$(uninstaller_window | grep -vx "$confirm")"
e2e_driver post-message "$question" WM_COMMAND 6  # IDYES
wait_uninstalled
e2e_driver post-message "$confirm" WM_COMMAND 1  # "Close"
e2e_driver wait-gone "$confirm" --timeout 15000
[ ! -e "$install_dir" ] || e2e_fail "left: $(files_in "$install_dir" | xargs)"
! reg_has 64 "$E2E_SETTINGS_KEY" || e2e_fail "the settings are still there"
e2e_passed
