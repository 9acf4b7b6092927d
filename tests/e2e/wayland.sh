#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# Under a Wayland compositor (weston, nested in the virtual display, with XWayland): where X is
# there too, the program goes through XWayland; with Wayland alone, or when the user asks for
# it, it runs natively: its windows map, with the desktop entry's app id, without offering
# maximise, and it keeps running.
source "$(dirname "$0")/lib.sh"
start_display
start_fake_logind
socket=zeravan-test
weston --backend=x11-backend.so --socket=$socket --xwayland --width=900 --height=600 \
    --no-config --log="$work/weston.log" &
started+=($!)
for _ in $(seq 100); do grep -q 'xserver listening on display' "$work/weston.log" 2>/dev/null && break; sleep 0.1; done
xwayland=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$work/weston.log")
[ -S "$XDG_RUNTIME_DIR/$socket" ] && [ -n "$xwayland" ] || fail "weston did not start: $(cat "$work/weston.log")"
require_private_bus

# Starts the program in the background in the environment given, its Wayland traffic logged.
start_in() {
    env "$@" WAYLAND_DEBUG=1 "$zeravan" >"$work/out" 2>&1 &
    program=$!
    started+=($program)
}
stop_program() {
    kill "$program"
    wait "$program" 2>/dev/null || true
}

expect_native() {
    local why=$1
    for _ in $(seq 100); do grep -q 'set_title("ZeravanV8.0")' "$work/out" && break; sleep 0.1; done
    grep -q 'set_title("ZeravanV8.0")' "$work/out" || fail "$why: no Wayland window: $(tail "$work/out")"
    grep -q 'set_app_id("io.github.orrimel.Zeravan")' "$work/out" || fail "$why: app id"
    for _ in $(seq 100); do grep -q 'ack_configure' "$work/out" && break; sleep 0.1; done
    grep -q 'ack_configure' "$work/out" || fail "$why: the window was never configured"
    sleep 2
    kill -0 "$program" || fail "$why: the program ended: $(grep -i error "$work/out" | tail -3)"
    ! grep -q 'set_maximized' "$work/out" || fail "$why: the window was maximised"
    echo "$why: native Wayland window mapped, app id io.github.orrimel.Zeravan, still running"
}

start_in -u DISPLAY WAYLAND_DISPLAY=$socket XDG_SESSION_TYPE=wayland
expect_native "Wayland alone"
screenshot wayland_native
stop_program

start_in DISPLAY="$xwayland" WAYLAND_DISPLAY=$socket XDG_SESSION_TYPE=wayland
window=$(DISPLAY=$xwayland wait_for_window '^ZeravanV8\.0$' 20)
[ -n "$window" ] || fail "with XWayland there, no X window: $(tail "$work/out")"
! grep -q 'wl_display' "$work/out" || fail "with XWayland there, the program spoke Wayland"
sleep 1
screenshot wayland_xwayland
echo "Wayland with XWayland: the program went through X ($xwayland)"
stop_program

start_in DISPLAY="$xwayland" WAYLAND_DISPLAY=$socket XDG_SESSION_TYPE=wayland QT_QPA_PLATFORM=wayland
expect_native "Wayland chosen by the user"
stop_program
