#!/usr/bin/env bash
# Minimising hides the window into a real notification area (tint2, under openbox); a double
# click on the icon brings it back; the right button shows the popup "打开".
source "$(dirname "$0")/lib.sh"
start_display
start_fake_logind
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
sleep 0.5
start_zeravan 0

visible() { xdotool search --onlyvisible --name '^ZeravanV8\.0$' 2>/dev/null | grep -q .; }

# The icon is the window that the panel reports embedding last.
tray_icon() {
    local id
    id=$(sed -n 's/.*add_icon: \([0-9]*\).*/\1/p' "$work/tint2.log" | tail -n1)
    [ -n "$id" ] && xwininfo -id "$id" 2>/dev/null | grep -q 'IsViewable' && echo "$id"
}

popups() { xdotool search --onlyvisible --classname zeravan 2>/dev/null | wc -l; }

xdotool windowminimize "$main_window"
for _ in $(seq 100); do visible || break; sleep 0.05; done
! visible || fail "minimising did not hide the window"
icon=""
for _ in $(seq 100); do icon=$(tray_icon); [ -n "$icon" ] && break; sleep 0.05; done
[ -n "$icon" ] || fail "no tray icon appeared"
sleep 0.5
screenshot tray

xdotool mousemove --window "$icon" 8 8 click --repeat 2 --delay 120 1
for _ in $(seq 100); do visible && break; sleep 0.05; done
visible || fail "a double click on the icon did not bring the window back"
icon_after=$(tray_icon)
[ -n "$icon_after" ] || fail "the icon went away on a double click"

before=$(popups)
xdotool mousemove --window "$icon_after" 8 8 click 3
for _ in $(seq 60); do (($(popups) > before)) && break; sleep 0.05; done
(($(popups) > before)) || fail "the right button showed no popup"
sleep 0.3
screenshot tray_popup
xdotool key Escape
echo "tray: icon shown on minimise, double click restored, popup shown; shots in $shots"
