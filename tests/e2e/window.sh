#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# The real program maps its main window, titled and sized as designed, with Chinese text.
source "$(dirname "$0")/lib.sh"
start_display
start_fake_logind
start_zeravan

geometry=$(xwininfo -id "$main_window")
grep -q 'Width: 388' <<<"$geometry" || fail "client width: $geometry"
grep -q 'Height: 249' <<<"$geometry" || fail "client height: $geometry"
fc-list :lang=zh family | grep -q . || fail "no Chinese font installed"
sleep 1
screenshot main_window
# The now line has replaced its placeholder, so the clock is running: compare two shots.
import -window "$main_window" -crop 250x16+80+14 "$work/a.png"
sleep 1.2
import -window "$main_window" -crop 250x16+80+14 "$work/b.png"
[ "$(compare -metric AE "$work/a.png" "$work/b.png" null: 2>&1 || true)" != 0 ] ||
    fail "the shown time did not move"
echo "main window mapped, 388x249, clock running; screenshot: $shots/main_window.png"
