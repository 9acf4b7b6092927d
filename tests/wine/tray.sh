#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# The tray under Wine: minimising hides the window into Wine's own notification area ("Wine
# System Tray", the tray Wine shows when the desktop has none of its own), with the tooltip
# "Orrimel"; a double click on the icon, which Wine hands to the program as WM_LBUTTONDBLCLK,
# brings the window back.
source "$(dirname "$0")/lib.sh"
start_display
new_prefix
unpack_release
# Minimising needs a window manager.
start_window_manager
sleep 1

# The tooltips channel names the text that the icon's tooltip shows.
WINEDEBUG=+tooltips run_wine "$zeravan_exe" >"$work/zeravan.out" 2>&1 &
await_main_window

visible() { find_windows --onlyvisible --name '^ZeravanV8\.0$' 2>/dev/null | grep -q .; }
# Our icon is the first and only one in Wine's tray, at its left end.
tray() { find_windows --onlyvisible --name '^Wine System Tray$' 2>/dev/null | head -n1 || true; }

xdotool windowminimize "$main_window"
for _ in $(seq 100); do visible || break; sleep 0.05; done
! visible || fail "minimising did not hide the window"
tray_window=""
for _ in $(seq 100); do tray_window=$(tray); [ -n "$tray_window" ] && break; sleep 0.05; done
[ -n "$tray_window" ] || fail "Wine's notification area did not appear"

# Resting the pointer on the icon shows the tooltip; Wine's tooltip control says what it shows.
shown_tip() { grep -aq 'TOOLTIPS_Show Show tooltip .*L"Orrimel"' "$work/zeravan.out"; }
for step in 8 9 10 11 12; do
    xdotool mousemove --window "$tray_window" "$step" 10
    for _ in $(seq 20); do shown_tip && break 2; sleep 0.1; done
done
shown_tip || fail "no tooltip Orrimel shown: $(grep -a 'TOOLTIPS_Show\|add text' "$work/zeravan.out")"
sleep 0.5
screenshot wine_tray

xdotool mousemove --window "$tray_window" 10 10 click --repeat 2 --delay 120 1
for _ in $(seq 100); do visible && break; sleep 0.05; done
visible || fail "a double click on the icon did not bring the window back"
[ -n "$(tray)" ] || fail "the icon went away on a double click"
sleep 0.5
screenshot wine_tray_restored
echo "tray: icon with tooltip Orrimel in Wine's tray on minimise, a double click restored the window"
