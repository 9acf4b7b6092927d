#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# The window manager sees the names the desktop entry gives: the main window's title
# "ZeravanV8.0", the countdown's exactly "Orrimel", and the entry's name as the window class.
source "$(dirname "$0")/lib.sh"
start_display
start_fake_logind
start_window_manager
start_zeravan

entry=$repo/packaging/io.github.orrimel.Zeravan.desktop
class=$(sed -n 's/^StartupWMClass=//p' "$entry")
[ "$class" = io.github.orrimel.Zeravan ] || fail "the desktop entry names the class '$class'"

check_names() {
    local window=$1 title=$2
    xprop -id "$window" _NET_WM_NAME | grep -qx "_NET_WM_NAME(UTF8_STRING) = \"$title\"" ||
        fail "title: $(xprop -id "$window" _NET_WM_NAME), not \"$title\""
    xprop -id "$window" WM_CLASS | grep -qx "WM_CLASS(STRING) = \"zeravan\", \"$class\"" ||
        fail "class: $(xprop -id "$window" WM_CLASS)"
    echo "$(xprop -id "$window" _NET_WM_NAME); $(xprop -id "$window" WM_CLASS)"
}

check_names "$main_window" ZeravanV8.0
confirm_schedule
set_clock_to 23:30:00
await_countdown_in_trigger_second
check_names "$dialog" Orrimel
screenshot identity
