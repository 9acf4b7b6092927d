#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# tray.sh <zeravan> <fake logind> <shots> tint2|lxqt|xfce
# Minimising hides the window into a real notification area, under openbox: tint2's (XEmbed),
# lxqt-panel's or xfce4-panel's (StatusNotifierItem, over the private session bus). With the
# pointer and keys: the icon shows its tooltip, the tray's restore gesture brings the window back
# (a double click on XEmbed, a click on StatusNotifierItem), and in the popup, opening "打开"
# restores the window and removes the icon while the popup stays open, and "退出" ends the
# program. On StatusNotifierItem the same again over D-Bus: Activate, and the exported menu's
# GetLayout, AboutToShow and Event.
host=${4:-tint2}
source "$(dirname "$0")/lib.sh"
start_display
start_fake_logind
start_window_manager
# The panel comes once the window manager is settled, or it drops the icons it embeds.
sleep 1

# Each host gives start_host, icon_point (x y of the icon on screen, nothing while no icon is
# shown) and restore_gesture.
case $host in
tint2)
    start_host() {
        tint2 -c "$repo/tests/e2e/tint2rc" >"$work/tint2.log" 2>&1 &
        started+=($!)
        for _ in $(seq 300); do grep -q 'systray started' "$work/tint2.log" && break; sleep 0.05; done
        grep -q 'systray started' "$work/tint2.log" ||
            fail "the panel's notification area did not start: $(cat "$work/tint2.log")"
    }
    # The icon is the window that the panel reports embedding last, while it is mapped.
    icon_point() {
        local id
        id=$(sed -n 's/.*add_icon: \([0-9]*\).*/\1/p' "$work/tint2.log" | tail -n1)
        [ -n "$id" ] && [[ $(xwininfo -id "$id" 2>/dev/null) == *IsViewable* ]] || return 0
        window_centre "$id"
    }
    restore_gesture() { xdotool mousemove $(icon_point) click --repeat 2 --delay 120 1; }
    ;;
lxqt | xfce)
    start_host() {
        if [ "$host" = lxqt ]; then
            mkdir -p "$work/config/lxqt"
            cp "$repo/tests/e2e/lxqt-panel.conf" "$work/config/lxqt/panel.conf"
            XDG_CONFIG_HOME=$work/config lxqt-panel >"$work/panel.log" 2>&1 &
            started+=($!)
        else
            # The panel keeps its settings in xfconf, whose daemon a session would start.
            mkdir -p "$work/config/xfce4/xfconf/xfce-perchannel-xml"
            cp "$repo/tests/e2e/xfce4-panel.xml" "$work/config/xfce4/xfconf/xfce-perchannel-xml/"
            XDG_CONFIG_HOME=$work/config /usr/lib/x86_64-linux-gnu/xfce4/xfconf/xfconfd \
                >"$work/xfconfd.log" 2>&1 &
            started+=($!)
            XDG_CONFIG_HOME=$work/config xfce4-panel >"$work/panel.log" 2>&1 &
            started+=($!)
        fi
        for _ in $(seq 200); do
            [ "$(watcher_property IsStatusNotifierHostRegistered)" = "(<true>,)" ] && break
            sleep 0.05
        done
        [ "$(watcher_property IsStatusNotifierHostRegistered)" = "(<true>,)" ] ||
            fail "the panel registered no StatusNotifierItem host: $(cat "$work/panel.log")"
        panel=$(wait_for_window '^(LXQt Panel|xfce4-panel)$' 10)
        [ -n "$panel" ] || fail "the panel did not appear"
    }
    # The panel's only plugin is the notification area, and the icon is its first button, a
    # square as high as the panel at its left end.
    icon_point() {
        [ -n "$(sni_item)" ] || return 0
        local X Y WIDTH HEIGHT
        eval "$(xdotool getwindowgeometry --shell "$panel")"
        echo $((X + HEIGHT / 2)) $((Y + HEIGHT / 2))
    }
    restore_gesture() { xdotool mousemove $(icon_point) click 1; }
    ;;
*) fail "unknown tray host $host" ;;
esac

window_centre() {
    local X Y WIDTH HEIGHT
    eval "$(xdotool getwindowgeometry --shell "$1")"
    echo $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
}

# Into the middle of a menu, then along its item: a menu takes the first motion as the pointer's
# entry.
point_into() {
    local x y
    read -r x y <<<"$(window_centre "$1")"
    xdotool mousemove "$x" "$y" sleep 0.2 mousemove $((x + 2)) "$y"
}

watcher_property() {
    gdbus call --session --dest org.kde.StatusNotifierWatcher --object-path /StatusNotifierWatcher \
        --method org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierWatcher "$1" 2>/dev/null
}

# The bus name of the one registered StatusNotifierItem, none while there is none.
sni_item() {
    watcher_property RegisteredStatusNotifierItems | grep -o "':[0-9.]*/StatusNotifierItem'" |
        head -n1 | sed "s|'\(.*\)/StatusNotifierItem'|\1|" || true
}

# Every mapped popup menu, the program's own or the panel's: the windows on screen that bypass
# the window manager, tooltips aside (the window manager keeps some of its own off screen).
popup_menus() {
    local id info
    for id in $(xwininfo -root -children | sed -n 's/^ *\(0x[0-9a-f]*\) .*/\1/p'); do
        info=$(xwininfo -id "$id" 2>/dev/null) || continue
        [[ $info == *IsViewable* && $info == *"Override Redirect State: yes"* ]] || continue
        [[ $info =~ "Corners:  +"[0-9]+"+"[0-9]+" " ]] || continue
        [[ $(xprop -id "$id" _NET_WM_WINDOW_TYPE 2>/dev/null) == *TOOLTIP* ]] || echo "$id"
    done
}

visible() { [ -n "$(find_windows --onlyvisible --name '^ZeravanV8\.0$' 2>/dev/null)" ]; }
icon_shown() { [ -n "$(icon_point)" ]; }

hidden() { ! visible; }
icon_gone() { ! icon_shown; }
exited() { ! kill -0 "$zeravan_pid" 2>/dev/null; }
menus_at_least() { (($(popup_menus | wc -l) >= $1)); }

minimise_into_tray() {
    xdotool windowminimize "$main_window"
    await hidden || fail "minimising did not hide the window"
    await icon_shown || fail "no tray icon appeared"
    sleep 0.5
}

# The program ends by itself, with status 0; $1 says what ended it.
expect_clean_exit() {
    await exited || fail "$1 did not end the program"
    local status=0
    wait "$zeravan_pid" || status=$?
    ((status == 0)) || fail "$1 ended the program with status $status: $(cat "$work/zeravan.out")"
}

start_host
start_zeravan

minimise_into_tray
xdotool mousemove $(icon_point)
sleep 1.5
screenshot "tray_${host}_tooltip"

if [ "$host" = tint2 ]; then
    xdotool click 1
    sleep 1
    hidden || fail "a single click restored the window, where the double click is the gesture"
fi
restore_gesture
await visible || fail "the tray's restore gesture did not bring the window back"
icon_shown || fail "the icon went away on the restore gesture"

# 打开 from the keyboard, then the popup dismissed: the window is back, the icon gone, and the
# program goes on.
minimise_into_tray
xdotool mousemove $(icon_point) click 3
await menus_at_least 1 || fail "the right button showed no popup"
sleep 0.3
xdotool key Down sleep 0.2 key Right
await menus_at_least 2 || fail "Down, Right opened no submenu"
await visible || fail "opening 打开 from the keyboard did not bring the window back"
xdotool key Escape sleep 0.2 key Escape
await icon_gone || fail "the icon stayed after 打开"
sleep 0.5
! exited || fail "dismissing the popup ended the program: $(cat "$work/zeravan.out")"
visible || fail "the window went away when the popup was dismissed"

minimise_into_tray
xdotool mousemove $(icon_point) click 3
await menus_at_least 1 || fail "the right button showed no popup"
sleep 0.3
screenshot "tray_${host}_popup"
popup=$(popup_menus | head -n1)
point_into "$popup"
await menus_at_least 2 || fail "the pointer on 打开 opened no submenu"
await visible || fail "opening 打开 did not bring the window back"
sleep 0.3
screenshot "tray_${host}_open"
menus_at_least 2 || fail "the popup closed when the window came back"
if [ "$host" = tint2 ]; then
    icon_gone || fail "opening 打开 left the icon in the tray"
else
    icon_shown || fail "the item left the bus while the panel showed its menu"
fi
# 退出 is the one item of the submenu, the other menu now open.
point_into "$(popup_menus | grep -vx "$popup" | head -n1)"
xdotool click 1
expect_clean_exit 退出
await icon_gone || fail "the icon outlived the program"
echo "tray ($host): tooltip shot, restore gesture, 打开 from the keyboard and dismissed, 打开 with" \
    "the pointer restores with the popup open, 退出 ends"

[ "$host" != tint2 ] || exit 0

# The same over D-Bus, as other StatusNotifierItem hosts ask it.
item_call() {
    local path=$1 method=$2
    shift 2
    gdbus call --session --dest "$item" --object-path "$path" --method "$method" -- "$@"
}
item_property() {
    item_call /StatusNotifierItem org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierItem "$1"
}
menu_event() { item_call "$menu" com.canonical.dbusmenu.Event "$1" "$2" '<0>' 0 >/dev/null; }
# Opens the menu or submenu $1 as hosts do: AboutToShow, then the event.
open_menu() {
    item_call "$menu" com.canonical.dbusmenu.AboutToShow "$1" >/dev/null
    menu_event "$1" opened
}
# The id of the menu item labelled $1 in the layout.
item_id() { grep -o "([0-9]*, {[^}]*'label': <'$1'>" <<<"$layout" | grep -o '^([0-9]*' | tr -d '('; }

start_zeravan
minimise_into_tray
item=$(sni_item)
[ -n "$item" ] || fail "no StatusNotifierItem registered"
item_property ToolTip | grep -q "'Orrimel'" || fail "tooltip: $(item_property ToolTip)"
menu=$(item_property Menu | sed -n "s/.*objectpath '\([^']*\)'.*/\1/p")
[ -n "$menu" ] && [ "$menu" != /NO_DBUSMENU ] || fail "the item exports no menu: $(item_property Menu)"
layout=$(item_call "$menu" com.canonical.dbusmenu.GetLayout 0 -1 '@as []')
open_id=$(item_id 打开)
exit_id=$(item_id 退出)
[ -n "$open_id" ] && [ -n "$exit_id" ] || fail "the menu is not 打开 with 退出: $layout"
grep -q "<'打开'>[^[]*\[<($exit_id, " <<<"$layout" ||
    fail "退出 is not inside 打开: $layout"

item_call /StatusNotifierItem org.kde.StatusNotifierItem.Activate 0 0 >/dev/null
await visible || fail "Activate did not bring the window back"
icon_shown || fail "the icon went away on Activate"

# Opening 打开 and closing the menu again: the window comes back, then the icon goes.
minimise_into_tray
open_menu 0
open_menu "$open_id"
await visible || fail "opening 打开 over D-Bus did not bring the window back"
sleep 0.5
[ "$(sni_item)" = "$item" ] || fail "the item left the bus while its menu was open"
menu_event "$open_id" closed
menu_event 0 closed
await icon_gone || fail "the icon stayed once the menu had closed"

# Opening 打开 and choosing 退出 ends the program.
minimise_into_tray
item=$(sni_item)
open_menu 0
open_menu "$open_id"
await visible || fail "opening 打开 over D-Bus did not bring the window back"
menu_event "$exit_id" clicked
expect_clean_exit "退出 over D-Bus"
echo "tray ($host) over D-Bus: tooltip, menu 打开 ⊃ 退出, Activate, 打开 and 退出; shots in $shots"
