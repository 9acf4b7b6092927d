#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# The wall clock set while a countdown runs, on the real binary and the fake logind. "back":
# set back 20 s five seconds into the countdown; the count runs out on its own time, yet the
# shutdown is asked for only when the clock reads 23:30:31. "forward": set on over 23:30:31;
# no shutdown is asked for at all, and the countdown stays open to say it was missed.
# "tomorrow": 明天 23:30 confirmed late in the evening, the program held up for 2 s across
# midnight (no tick at 0:00:00), then the clock set to the next evening: the shutdown comes in
# that evening's 23:30:31, the day chosen, not a day later.
source "$(dirname "$0")/lib.sh"
mode=$4
start_display
start_fake_logind --stamp
if [ "$mode" = tomorrow ]; then
    offset=$(offset_to 23:59:54)
    start_zeravan_on_settable_clock "$offset"
    click "$main_window" 60 74  # the day choice
    xdotool key Down            # 明天
    click "$main_window" 324 76
    until (($(shifted_ms_of_day "$offset") >= 86399000)); do sleep 0.05; done
    kill -STOP "$zeravan_pid"
    sleep 2
    kill -CONT "$zeravan_pid"
    sleep 1
    screenshot tomorrow_after_midnight
    # On to 23:29:58 of this day, the day after the one confirmed on.
    offset=$((offset + 23 * 3600 + 29 * 60 + 58 - $(shifted_ms_of_day "$offset") / 1000))
    set_clock "$offset"
else
    offset=$(offset_to 23:29:55)
    start_zeravan_on_settable_clock "$offset"
    click "$main_window" 324 76  # "确 定"
fi
dialog=$(wait_for_window '^Orrimel$' 20)
[ -n "$dialog" ] || fail "the countdown did not open"
trigger=$(((23 * 3600 + 30 * 60 + 1) * 1000))
shutdown_second=$((trigger + 30000))
opened=$(shifted_ms_of_day "$offset")
((opened >= trigger && opened < trigger + 1300)) || fail "opened at $opened ms of the day"
sleep 5

if [ "$mode" = tomorrow ]; then
    offset=$((offset + 20))
    set_clock "$offset"  # from 23:30:06 on to 23:30:26
    for _ in $(seq 100); do grep -q '^PowerOff' "$calls" && break; sleep 0.1; done
    grep -q '^PowerOff true' "$calls" || fail "no PowerOff on the chosen evening: $(cat "$calls")"
    requested=$(shifted_ms_of_first_call "$offset" PowerOff)
    ((requested >= shutdown_second && requested < shutdown_second + 1300)) ||
        fail "PowerOff came at $requested ms of the day, not in 23:30:31"
    echo "明天 across a stalled midnight: PowerOff $((requested - shutdown_second)) ms into 23:30:31 of the chosen day"
elif [ "$mode" = back ]; then
    offset=$((offset - 20))
    set_clock "$offset"
    # The count reaches 0 about 30 s after the dialog opened, when the clock reads 23:30:11.
    sleep 27
    ! grep -q '^PowerOff' "$calls" || fail "asked for a shutdown before 23:30:31: $(cat "$calls")"
    screenshot clock_set_back
    for _ in $(seq 300); do grep -q '^PowerOff' "$calls" && break; sleep 0.1; done
    grep -q '^PowerOff true' "$calls" || fail "no PowerOff after the clock was set back"
    requested=$(shifted_ms_of_first_call "$offset" PowerOff)
    ((requested >= shutdown_second && requested < shutdown_second + 1300)) ||
        fail "PowerOff came at $requested ms of the day, not in 23:30:31"
    echo "set back 20 s: PowerOff reached logind $((requested - shutdown_second)) ms into 23:30:31"
else
    offset=$((offset + 35))
    set_clock "$offset"  # from 23:30:06 on to 23:30:41
    sleep 30
    ! grep -q '^PowerOff' "$calls" || fail "asked for a shutdown after 23:30:31 was skipped"
    [ -n "$(find_windows --onlyvisible --name '^Orrimel$' || true)" ] || fail "dialog gone"
    screenshot clock_set_forward
    echo "set forward over 23:30:31: no request reached logind ($(cut -f1 "$calls" | tr '\n' ' '))"
fi
