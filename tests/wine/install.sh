#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# The installer under Wine: a silent install puts the program into Program Files with a
# Start-menu shortcut and an entry in "Programs and Features"; the installed program maps
# "ZeravanV8.0" at its designed size with the Chinese captions in a Song-style face, and a second
# start leaves it the only one. With the program running, a silent upgrade has it end and replaces
# every file, while with a shutdown set it is refused, as are an interactive upgrade (its message
# read off the window) and an uninstall, leaving every file and the program as they were; then a
# silent uninstall has it end and takes everything away again, but not a file the user put into
# the folder since. A drive's root and a folder that holds files already are refused. The
# uninstaller is run by the entry's quiet uninstall command, whose status is the uninstall's.
# Installed on a small disk of its own (a tmpfs as D:), an upgrade with no room for the new files
# beside the old ones is refused with the program left running, and one whose writing fails
# halfway puts every earlier file back; the earlier program then starts.
source "$(dirname "$0")/lib.sh"
start_display
new_prefix

installed="$WINEPREFIX/drive_c/Program Files/Zeravan"
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Zeravan.lnk"
key='[Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zeravan]'

# The uninstall entry as wineserver saved it, one value a line.
uninstall_entry() { grep -F -A20 "$key" "$WINEPREFIX/system.reg" | sed '/^$/q'; }

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
# The size shown in "Programs and Features": the release's files, in KiB.
size=$(find "$installed" -type f ! -name uninstall.exe -printf '%s\n' | awk '{ b += $1 } END { print int((b + 1023) / 1024) }')
grep -qF "\"EstimatedSize\"=dword:$(printf '%08x' "$size")" <<<"$entry" ||
    fail "the uninstall entry does not give the size, $size KiB: $entry"

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

# Each installed file with its inode: a replaced file is a new one.
installed_files() { (cd "$installed" && find . -type f -printf '%p %i\n' | sort); }
program_ended() { ! kill -0 "$zeravan_pid" 2>/dev/null; }
# The installer (writing files of at most $file_limit KiB, when set), or the uninstaller as a
# deployment tool runs it: the entry's quiet uninstall command as it stands. Silently; fails
# unless it ends with status $2.
silently() {
    local what=$1 status=0 quiet
    if [ "$what" = uninstall ]; then
        quiet=$(uninstall_entry | sed -n 's/^"QuietUninstallString"="\(.*\)"$/\1/p' | sed 's/\\\(.\)/\1/g')
        printf '@%s\r\n' "$quiet" >"$WINEPREFIX/drive_c/quiet-uninstall.cmd"
        run_wine cmd /c 'C:\quiet-uninstall.cmd' >"$work/$what.out" 2>&1 || status=$?
    else
        (
            [ -z "${file_limit:-}" ] || { trap '' XFSZ && ulimit -f "$file_limit"; }
            run_wine "$setup_exe" /S
        ) >"$work/$what.out" 2>&1 || status=$?
    fi
    [ "$status" = "$2" ] || fail "the $what, the program $state, ended with status $status: $(cat "$work/$what.out")"
    outcomes+=("$what silently, the program $state: status $status")
}
# Every file as it was (the same files, none moved), and the program still running.
unchanged() {
    [ "$(installed_files)" = "$before" ] || fail "$1 changed the files: $(installed_files)"
    ! program_ended || fail "$1 ended the program"
    outcomes[-1]+=", the program runs on, no file changed"
}
outcomes=()

# Upgrading while the program runs with nothing set: asked, it ends, and every file is replaced.
state=idle
before=$(installed_files)
silently upgrade 0
await program_ended || fail "the upgrade left the program running"
[ "$(cut -d' ' -f1 <<<"$before")" = "$(installed_files | cut -d' ' -f1)" ] &&
    [ -z "$(comm -12 <(echo "$before") <(installed_files))" ] ||
    fail "the upgrade did not replace every file, or only those: $(installed_files)"
outcomes[-1]+=", the program ended, all $(wc -l <<<"$before") files replaced"

# With a shutdown set the program will not end: the upgrade (silent and interactive) and the
# uninstall stop, changing nothing. The program's clock stands far from its 23:30.
set_clock_to 10:00:00
(
    export "${test_clock_environment[@]}"
    run_wine 'C:\Program Files\Zeravan\zeravan.exe'
) >"$work/zeravan.out" 2>&1 &
await_main_window
click "$main_window" 324 76  # "确 定"
state=armed
before=$(installed_files)
silently upgrade 3
unchanged "the refused upgrade"

start_window_manager
WINEDEBUG=+msgbox run_wine "$setup_exe" >"$work/interactive.out" 2>&1 &
setup_pid=$!
setup_window=$(wait_for_window '^Zeravan 安装' 30)
[ -n "$setup_window" ] || fail "the installer's window did not open"
sleep 1
xdotool windowactivate --sync "$setup_window" key Return  # "安装(I)" on the folder page
await_within 30 grep -aq 'trace:msgbox' "$work/interactive.out" || fail "the installer showed no message"
# Wine writes the message as a C string, other than ASCII as \xxxx.
said=$(grep -a -m1 'trace:msgbox' "$work/interactive.out" | sed 's/.*L"\(.*\)"$/\1/' |
    perl -CS -pe 's/\\([0-9a-f]{4})/chr(hex($1))/ge; s/\\r\\n/ /g')
[ "$said" = 'Zeravan 已设定关机，现在不能退出。 请先在 Zeravan 中取消关机，再点“重试”继续安装；点“取消”则不安装。' ] ||
    fail "the installer said: $said"
sleep 1
screenshot wine_install_refused
xdotool key Escape  # "取消"
status=0
wait "$setup_pid" || status=$?
outcomes+=("upgrade interactively, the program armed: \"$said\", cancelled, status $status")
[ "$status" = 3 ] || fail "the cancelled interactive upgrade ended with status $status"
unchanged "the interactive upgrade"

silently uninstall 3
unchanged "the refused uninstall"

# Disarmed, the program ends for the uninstaller, which removes every file it installed.
click "$main_window" 324 76  # "修改"
state=idle
echo mine >"$installed/notes.txt"
silently uninstall 0
await program_ended || fail "the uninstall left the program running"
wait_wine
[ "$(find "$installed" | sort)" = "$installed
$installed/notes.txt" ] || fail "uninstalled more or less than it installed: $(find "$installed")"
[ ! -e "$shortcut" ] || fail "the Start-menu shortcut is still there"
[ -z "$(uninstall_entry)" ] || fail "the uninstall entry is still there"
outcomes[-1]+=", the program ended, every installed file removed, the user's file kept"

# On a disk of its own with room for one install and a little more.
small_disk=$wine_root/small-disk
mkdir -p "$small_disk"
mount -t tmpfs -o "size=$((size + 4096))k" tmpfs "$small_disk" || fail "could not mount a small disk"
trap 'say_why_stopped; wine_cleanup; umount "$small_disk"' EXIT
ln -s "$small_disk" "$WINEPREFIX/dosdevices/d:"
installed=$small_disk/Zeravan
run_wine "$setup_exe" /S '/D=D:\Zeravan' >"$work/setup.out" 2>&1 || fail "installing on D: failed"
run_wine 'D:\Zeravan\zeravan.exe' >"$work/zeravan.out" 2>&1 &
await_main_window
state="idle, on a disk without room for the upgrade"
before=$(installed_files)
silently upgrade 5
unchanged "the upgrade without room"
# Room enough when asked, but every file over half the largest stops being written halfway, as
# when the disk fills up meanwhile: NSIS aborts, and the earlier files come back.
mount -o remount,size=$((3 * size))k "$small_disk"
file_limit=$(($(find "$installed" -type f -printf '%s\n' | sort -n | tail -n1) / 2048))
state="idle, its files written halfway"
silently upgrade 4
await program_ended || fail "the upgrade left the program running"
[ "$(installed_files)" = "$before" ] || fail "not every earlier file is back: $(installed_files)"
run_wine 'D:\Zeravan\zeravan.exe' >"$work/zeravan.out" 2>&1 &
await_main_window
outcomes[-1]+=", the program ended, every earlier file back (none moved), and it starts again"
echo "refused C:\ and a folder with a file; installed silently, mapped 388x249 with a Song-style"
echo "face, one copy after a second start; shots: $shots/wine_main_window.png, $shots/wine_install_refused.png"
printf '%s\n' "${outcomes[@]}"
