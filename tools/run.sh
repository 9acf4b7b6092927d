#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# Starts the program. Without a display it says so, shows the window on a virtual display and
# saves a screenshot of it.
set -euo pipefail
program=$1

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    exec "$program"
fi

screenshot=$(dirname "$program")/zeravan-screenshot.png
echo "No display found: showing the window on a virtual display (Xvfb) instead."
folder=$(mktemp -d)
program_pid=
source "$(dirname "$0")/virtual_display.sh"
start_virtual_display "$folder"
trap 'kill $program_pid $virtual_display_pid 2>/dev/null || true; rm -rf "$folder"' EXIT

"$program" &
program_pid=$!
# One search at a time: a search ends with an X error when a window vanishes under it.
until xdotool search --onlyvisible --name '^ZeravanV8\.0$' >/dev/null 2>&1; do
    kill -0 "$program_pid" 2>/dev/null || { echo "The program ended before its window showed." >&2; exit 1; }
    sleep 0.1
done
sleep 1
import -window root "$screenshot"
echo "Screenshot of the main window saved to $screenshot"
