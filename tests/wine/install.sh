#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# The installer under Wine: a silent install puts the program into Program Files with a
# Start-menu shortcut and an entry in "Programs and Features"; the installed program maps
# "ZeravanV8.0" at its designed size with the Chinese captions in a Song-style face, and a second
# start leaves it the only one; a silent uninstall takes all that away again, but not a file the
# user put into the folder since. A drive's root and a folder that holds files already are
# refused.
source "$(dirname "$0")/lib.sh"
start_display
new_prefix

installed="$WINEPREFIX/drive_c/Program Files/Zeravan"
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Zeravan.lnk"
key='[Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zeravan]'

# The uninstall entry as wineserver saved it, one value a line.
uninstall_entry() { grep -F -A12 "$key" "$WINEPREFIX/system.reg" | sed '/^$/q'; }

# Uninstalling would take away only what was installed, but folders the user keeps files in are
# refused from the start; so is a drive's root, rather than installing elsewhere.
mkdir -p "$WINEPREFIX/drive_c/users/me/Notes"
echo mine >"$WINEPREFIX/drive_c/users/me/Notes/notes.txt"
for folder in 'C:\users\me\Notes' 'C:\'; do
    status=0
    run_wine "$setup_exe" /S "/D=$folder" >"$work/setup.out" 2>&1 || status=$?
    wait_wine
    [ "$status" = 2 ] || fail "installing into $folder ended with status $status, not refused"
done
[ "$(ls "$WINEPREFIX/drive_c/users/me/Notes")" = notes.txt ] || fail "the refused install changed Notes"
[ ! -e "$installed" ] && [ ! -e "$WINEPREFIX/drive_c/zeravan.exe" ] ||
    fail "a refused install put the program somewhere"

run_wine "$setup_exe" /S >"$work/setup.out" 2>&1 || fail "the installer failed: $(cat "$work/setup.out")"
wait_wine
for file in zeravan.exe uninstall.exe Qt6Core.dll Qt6Widgets.dll platforms/qwindows.dll; do
    [ -f "$installed/$file" ] || fail "not installed: $file"
done
[ -f "$shortcut" ] || fail "no Start-menu shortcut"
characteristics=$(x86_64-w64-mingw32-objdump -p "$installed/zeravan.exe")
for mark in HIGH_ENTROPY_VA DYNAMIC_BASE NX_COMPAT 'DLL Name: libssp-0.dll'; do
    grep -q "$mark" <<<"$characteristics" || fail "zeravan.exe lacks $mark"
done
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
# The running copy is found under this user's and session's name, and asked to show itself.
require_throwaway_prefix
timeout 60 wine 'C:\Program Files\Zeravan\zeravan.exe' >"$work/again.out" 2>&1 ||
    fail "a second start did not end by itself with status 0: $(cat "$work/again.out")"
[ "$(find_windows --onlyvisible --name '^ZeravanV8\.0$' | wc -l)" = 1 ] ||
    fail "not one main window after a second start"
stop_wine

echo mine >"$installed/notes.txt"
run_wine 'C:\Program Files\Zeravan\uninstall.exe' /S >"$work/uninstall.out" 2>&1 ||
    fail "the uninstaller failed: $(cat "$work/uninstall.out")"
# It goes on from a copy of itself in the temporary folder, so that it can delete the original.
wait_wine
[ "$(find "$installed" | sort)" = "$installed
$installed/notes.txt" ] || fail "uninstalled more or less than it installed: $(find "$installed")"
[ ! -e "$shortcut" ] || fail "the Start-menu shortcut is still there"
[ -z "$(uninstall_entry)" ] || fail "the uninstall entry is still there"
echo "refused C:\ and a folder with a file; installed silently, mapped 388x249 with a Song-style"
echo "face, one copy after a second start; uninstalled, the user's file kept; shot: $shots/wine_main_window.png"
