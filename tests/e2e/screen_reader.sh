#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# What a screen reader hears, through AT-SPI: the accessibility bus of at-spi2-core runs beside
# the private bus, the real program is started with accessibility on, and the accessible tree
# names the three choices, the button, the status line and, once it opens, the countdown and its
# count, all in Chinese; the countdown makes itself heard when it opens. The shutdown goes to a
# fake XFCE session manager, which accepts it and then says it was called off (as when the user
# cancels an editor's "Save changes?"): the countdown and the status line then say so in words.
source "$(dirname "$0")/lib.sh"
tree=("${accessible_tree[@]}")
start_display
start_fake_logind
start_fake_session_manager xfce --call-off-after-ms=1500
start_accessibility_bus
app=$accessible_app
start_zeravan
sleep 1
"${tree[@]}" tree "$app" "关机日期：今天或明天" "关机时间：时" "关机时间：分" "确定或修改关机时间" \
    "目前状态：停 止" >"$work/main.tree" 2>&1 || fail "main window: $(cat "$work/main.tree")"

"${tree[@]}" events "$app" 25 >"$work/events" 2>&1 &
started+=($!)
for _ in $(seq 100); do grep -q listening "$work/events" && break; sleep 0.05; done
confirm_schedule
set_clock_to 23:30:00
await_countdown_in_trigger_second
sleep 2
"${tree[@]}" tree "$app" "关机倒计时" "离关机时间还有 " "目前状态：执行中" >"$work/countdown.tree" 2>&1 ||
    fail "countdown: $(cat "$work/countdown.tree")"
grep -q "离关机时间还有 [0-9]* 秒" "$work/countdown.tree" || fail "no count: $(cat "$work/countdown.tree")"
sleep 1
# The countdown opens without taking the focus, so it is no window activation that a screen
# reader hears but an alert that shows, which it speaks wherever the focus is.
grep -qP '^object:state-changed:showing\talert\t关机倒计时$' "$work/events" ||
    fail "the countdown was not heard opening: $(cat "$work/events")"
screenshot screen_reader

set_clock_to 23:30:30  # the shutdown second comes, then the call-off
await_within 10 grep -q 'Shutdown true' "$session_calls" || fail "the session manager was not asked"
sleep 2.5
"${tree[@]}" tree "$app" "关机被系统或程序取消" "目前状态：关机被取消，明天照常执行" \
    >"$work/called_off.tree" 2>&1 || fail "called off: $(cat "$work/called_off.tree")"
! grep -q "离关机时间还有 -" "$work/called_off.tree" || fail "a count below zero is still heard"
screenshot screen_reader_called_off
echo "main window:"
grep -E "关机|目前" "$work/main.tree"
echo "countdown:"
grep -E "倒计时|离关机" "$work/countdown.tree"
echo "events when the countdown opened:"
grep -E "倒计时|取 消" "$work/events" | sort -u
echo "after the session manager called the shutdown off:"
grep -E "取消" "$work/called_off.tree"
