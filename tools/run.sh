#!/usr/bin/env bash
# Starts the program. Without a display it says so, shows the window on a virtual display and
# saves a screenshot of it.
set -euo pipefail
program=$1

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    exec "$program"
fi

screenshot=$(dirname "$program")/zeravan-screenshot.png
echo "No display found: showing the window on a virtual display (Xvfb) instead."
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $program_pid $xvfb 2>/dev/null || true' EXIT
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

"$program" &
program_pid=$!
xdotool search --sync --onlyvisible --name '^ZeravanV8\.0$' >/dev/null
sleep 1
import -window root "$screenshot"
echo "Screenshot of the main window saved to $screenshot"
