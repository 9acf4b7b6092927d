#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# The installer under Wine: a silent install puts the program into Program Files with a
# Start-menu shortcut and an entry in "Programs and Features"; the installed program maps
# "ZeravanV8.0" at its designed size with the Chinese captions in a Song-style face; a silent
# uninstall takes it all away again.
source "$(dirname "$0")/lib.sh"
start_display
new_prefix

installed="$WINEPREFIX/drive_c/Program Files/Zeravan"
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Zeravan.lnk"
key='[Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zeravan]'

# The uninstall entry as wineserver saved it, one value a line.
uninstall_entry() { grep -F -A12 "$key" "$WINEPREFIX/system.reg" | sed '/^$/q'; }

run_wine "$setup_exe" /S >"$work/setup.out" 2>&1 || fail "the installer failed: $(cat "$work/setup.out")"
wait_wine
for file in zeravan.exe uninstall.exe Qt6Core.dll Qt6Widgets.dll platforms/qwindows.dll; do
    [ -f "$installed/$file" ] || fail "not installed: $file"
done
[ -f "$shortcut" ] || fail "no Start-menu shortcut"
entry=$(uninstall_entry)
for value in '"DisplayName"="Zeravan"' '"DisplayVersion"="'"$version"'"' \
    '"DisplayIcon"="C:\\Program Files\\Zeravan\\zeravan.exe,0"' \
    '"UninstallString"="\"C:\\Program Files\\Zeravan\\uninstall.exe\""' '"Publisher"='; do
    grep -qF "$value" <<<"$entry" || fail "the uninstall entry lacks $value: $entry"
done

# The font channel names every face file Wine opens for the program.
WINEDEBUG=+font run_wine 'C:\Program Files\Zeravan\zeravan.exe' >"$work/zeravan.out" 2>&1 &
await_main_window
geometry=$(xwininfo -id "$main_window")
grep -q 'Width: 388' <<<"$geometry" || fail "client width: $geometry"
grep -q 'Height: 249' <<<"$geometry" || fail "client height: $geometry"
sleep 2
screenshot wine_main_window
grep -qi 'uming' "$work/zeravan.out" || fail "Wine opened no Song-style face for the captions"
stop_wine

run_wine 'C:\Program Files\Zeravan\uninstall.exe' /S >"$work/uninstall.out" 2>&1 ||
    fail "the uninstaller failed: $(cat "$work/uninstall.out")"
# It goes on from a copy of itself in the temporary folder, so that it can delete the original.
wait_wine
[ ! -e "$installed" ] || fail "left behind: $(find "$installed")"
[ ! -e "$shortcut" ] || fail "the Start-menu shortcut is still there"
[ -z "$(uninstall_entry)" ] || fail "the uninstall entry is still there"
echo "installed silently, mapped 388x249 with a Song-style face, uninstalled; shot: $shots/wine_main_window.png"
