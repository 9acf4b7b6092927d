#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# The real program held up by a stop signal across one of its seconds, on a shifted clock and
# the fake logind. $4 is the second held over ("trigger", 23:30:01, or "shutdown", 23:30:31),
# $5 how many seconds it is held. Held 2 s, the countdown opens late, or the shutdown is asked for
# late; held 40 s, nothing is asked for, and the program says so (see the screenshots).
source "$(dirname "$0")/lib.sh"
which=$4
held=$5
start_display
start_fake_logind --stamp
offset=$(offset_to 23:29:55)
start_zeravan_on_settable_clock "$offset"
[ "$(cat "/proc/$zeravan_pid/comm")" = zeravan ] || fail "the stop signal would miss the program"

# Sleeps until the shifted clock reads $1 ms of the day.
sleep_until() {
    local wait=$(($1 - $(shifted_ms_of_day "$offset")))
    ((wait <= 0)) || sleep "$((wait / 1000)).$(printf %03d $((wait % 1000)))"
}

# The fake's calls, each with the time of day the shifted clock read when it arrived.
calls_received() {
    local name stamp ms
    while IFS=$'\t' read -r name stamp; do
        ms=$(ms_of_day_at $((stamp + offset * 1000)))
        printf '%s at %d:%02d:%02d.%03d; ' "$name" $((ms / 3600000)) $((ms / 60000 % 60)) \
            $((ms / 1000 % 60)) $((ms % 1000))
    done <"$calls"
}

window_open() { [ -n "$(find_windows --onlyvisible --name '^Orrimel$' 2>/dev/null || true)" ]; }

trigger=$(((23 * 3600 + 30 * 60 + 1) * 1000))
shutdown_second=$((trigger + 30000))
catch_up=5000
click "$main_window" 324 76  # "确 定"
if [ "$which" = trigger ]; then
    second=$trigger
else
    second=$shutdown_second
    [ -n "$(wait_for_window '^Orrimel$' 20)" ] || fail "the countdown did not open"
fi

sleep_until $((second - 500))
kill -STOP "$zeravan_pid"
stopped=$(shifted_ms_of_day "$offset")
sleep "$held"
kill -CONT "$zeravan_pid"
resumed=$(shifted_ms_of_day "$offset")
((stopped < second && resumed >= second + 1000)) ||
    fail "the stop from $stopped to $resumed ms of the day did not span the second at $second"
echo "held from $((stopped - second)) ms to $((resumed - second)) ms around the $which second"

if ((held * 1000 < catch_up)); then
    if [ "$which" = trigger ]; then
        [ -n "$(wait_for_window '^Orrimel$' 5)" ] || fail "the countdown did not open late"
        opened=$(shifted_ms_of_day "$offset")
        ((opened < resumed + 1500)) || fail "opened $((opened - resumed)) ms after the stop"
        echo "countdown opened $((opened - trigger)) ms after 23:30:01"
        sleep 0.5
        screenshot "stall_${which}_${held}s"
        earliest=$shutdown_second latest=$((shutdown_second + 1300))
    else
        earliest=$((shutdown_second + 1000)) latest=$((resumed + 1500))
    fi
    for _ in $(seq 400); do grep -q '^PowerOff' "$calls" && break; sleep 0.1; done
    grep -q '^PowerOff true' "$calls" || fail "no PowerOff after the stall: $(calls_received)"
    requested=$(shifted_ms_of_first_call "$offset" PowerOff)
    ((requested >= earliest && requested < latest)) ||
        fail "PowerOff came at $requested ms of the day, not from $earliest to $latest"
    [ "$which" = shutdown ] && screenshot "stall_${which}_${held}s"
    echo "PowerOff reached logind $((requested - shutdown_second)) ms after 23:30:31"
else
    sleep 3
    ! grep -q '^PowerOff' "$calls" || fail "asked for a shutdown $held s late: $(calls_received)"
    if [ "$which" = trigger ]; then
        ! window_open || fail "the countdown opened $held s late"
    else
        window_open || fail "the countdown that missed its second is gone"
    fi
    screenshot "stall_${which}_${held}s"
    echo "no shutdown asked for"
fi
echo "logind received: $(calls_received)"
