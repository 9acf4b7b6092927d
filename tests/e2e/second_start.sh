#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# One program at a time: a second start ends at once with status 0, leaving one main window,
# and brings the running program's window back, also out of the notification area.
source "$(dirname "$0")/lib.sh"
start_display
start_fake_logind
start_window_manager
start_tray_panel
start_zeravan 0

main_windows() { find_windows --onlyvisible --name '^ZeravanV8\.0$' 2>/dev/null | wc -l; }

start_again() {
    local status=0
    timeout 10 "$zeravan" >"$work/again.out" 2>&1 || status=$?
    [ "$status" = 0 ] || fail "a second start ended with status $status: $(cat "$work/again.out")"
    kill -0 "$zeravan_pid" || fail "the running program ended"
}

start_again
sleep 0.5
[ "$(main_windows)" = 1 ] || fail "$(main_windows) main windows after a second start"

xdotool windowminimize "$main_window"
for _ in $(seq 100); do (($(main_windows) == 0)) && break; sleep 0.05; done
(($(main_windows) == 0)) || fail "minimising did not hide the window into the tray"
screenshot second_start_in_tray

start_again
for _ in $(seq 100); do (($(main_windows) == 1)) && break; sleep 0.05; done
[ "$(main_windows)" = 1 ] || fail "a second start did not bring the window back from the tray"
sleep 0.5
screenshot second_start_restored
echo "second starts ended with status 0; the running program's window came back from the tray"
