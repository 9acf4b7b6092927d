#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# Without a desktop the program says so, in Chinese and English, and ends with status 1; a
# platform the user chose (offscreen) still runs without one.
source "$(dirname "$0")/lib.sh"
start_fake_logind
require_private_bus

expect_refusal() {
    local why=$1 status=0
    shift
    env "$@" "$zeravan" >"$work/out" 2>"$work/err" || status=$?
    [ "$status" = 1 ] || fail "$why: status $status, not 1: $(cat "$work/err")"
    grep -q '需要图形桌面' "$work/err" || fail "$why: no Chinese line: $(cat "$work/err")"
    grep -q 'needs a graphical desktop' "$work/err" || fail "$why: no English line: $(cat "$work/err")"
    echo "$why: status 1, said: $(tr '\n' ' ' <"$work/err")"
}

expect_refusal "no display" -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM
expect_refusal "X asked for, no display" -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb
start_display
gone=$DISPLAY xvfb=${started[-1]}
kill "$xvfb"
wait "$xvfb" 2>/dev/null || true
expect_refusal "a display that is gone" -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY="$gone"
expect_refusal "a Wayland socket that is not there" -u DISPLAY -u QT_QPA_PLATFORM \
    WAYLAND_DISPLAY="$work/no-wayland"

env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen "$zeravan" >"$work/offscreen.out" 2>&1 &
started+=($!)
sleep 2
kill -0 "$!" || fail "the offscreen platform, chosen by the user, did not run: $(cat "$work/offscreen.out")"
echo "offscreen, chosen by the user, runs without a display"
