#!/usr/bin/env bash
# The tray under Wine, with a real notification area (tint2 under openbox) that Wine docks its
# icons into: minimising hides the window into an icon with the tooltip "Orrimel", and a
# double click on the icon, which Wine hands to the program as WM_LBUTTONDBLCLK, brings the
# window back.
source "$(dirname "$0")/lib.sh"
start_display
new_prefix
unpack_release
openbox --sm-disable >/dev/null 2>&1 &
started+=($!)
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break
    sleep 0.05
done
# The panel comes once the window manager is settled, or it drops the icons it embeds.
sleep 1
tint2 -c "$repo/tests/e2e/tint2rc" >"$work/tint2.log" 2>&1 &
started+=($!)
for _ in $(seq 100); do grep -q 'systray started' "$work/tint2.log" && break; sleep 0.05; done
grep -q 'systray started' "$work/tint2.log" || fail "the panel's notification area did not start"

WINEDEBUG=+systray run_wine "$zeravan_exe" >"$work/zeravan.out" 2>&1 &
await_main_window

visible() { xdotool search --onlyvisible --name '^ZeravanV8\.0$' 2>/dev/null | grep -q .; }

# The icon is the window that the panel reports embedding last.
tray_icon() {
    local id
    id=$(sed -n 's/.*add_icon: \([0-9]*\).*/\1/p' "$work/tint2.log" | tail -n1)
    [ -n "$id" ] && xwininfo -id "$id" 2>/dev/null | grep -q 'IsViewable' && echo "$id"
}

xdotool windowminimize "$main_window"
for _ in $(seq 100); do visible || break; sleep 0.05; done
! visible || fail "minimising did not hide the window"
icon=""
for _ in $(seq 100); do icon=$(tray_icon); [ -n "$icon" ] && break; sleep 0.05; done
[ -n "$icon" ] || fail "no tray icon appeared"
grep -q 'Orrimel' "$work/zeravan.out" || fail "the icon's tooltip is not Orrimel"
# Resting the pointer on the icon shows the tooltip.
xdotool mousemove --window "$icon" 8 8
sleep 2
screenshot wine_tray

xdotool mousemove --window "$icon" 8 8 click --repeat 2 --delay 120 1
for _ in $(seq 100); do visible && break; sleep 0.05; done
visible || fail "a double click on the icon did not bring the window back"
[ -n "$(tray_icon)" ] || fail "the icon went away on a double click"
screenshot wine_tray_restored
echo "tray: icon with tooltip Orrimel on minimise, a double click restored the window"
