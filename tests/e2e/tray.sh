#!/usr/bin/env bash
# Minimising hides the window into a real notification area (tint2, under openbox); a double
# click on the icon brings it back; the right button shows the popup "打开".
source "$(dirname "$0")/lib.sh"
start_display
start_fake_logind
openbox --sm-disable >/dev/null 2>&1 &
started+=($!)
tint2 -c "$repo/tests/e2e/tint2rc" >/dev/null 2>&1 &
started+=($!)
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break
    sleep 0.05
done
sleep 1
start_zeravan 0

visible() { xdotool search --onlyvisible --name '^ZeravanV8\.0$' 2>/dev/null | grep -q .; }

# The icon is the program's small window inside the panel.
tray_icon() {
    local id
    for id in $(xdotool search --onlyvisible --pid "$zeravan_pid" 2>/dev/null); do
        [ "$id" = "$main_window" ] && continue
        local size
        size=$(xdotool getwindowgeometry "$id" | awk '/Geometry/ {print $2}')
        ((${size%x*} <= 48)) && echo "$id" && return
    done
}

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

before=$(xdotool search --onlyvisible --pid "$zeravan_pid" | wc -l)
xdotool mousemove --window "$icon_after" 8 8 click 3
for _ in $(seq 60); do
    (($(xdotool search --onlyvisible --pid "$zeravan_pid" | wc -l) > before)) && break
    sleep 0.05
done
(($(xdotool search --onlyvisible --pid "$zeravan_pid" | wc -l) > before)) ||
    fail "the right button showed no popup"
sleep 0.3
screenshot tray_popup
xdotool key Escape
echo "tray: icon shown on minimise, double click restored, popup shown; shots in $shots"
