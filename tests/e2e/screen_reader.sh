#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# screen_reader.sh <zeravan> <fake logind> <shots> [band]
# What a screen reader hears, through AT-SPI: the accessibility bus of at-spi2-core runs beside
# the private bus, the real program is started with accessibility on, and the accessible tree
# names the three choices, the button, the status line and, once it opens, the countdown and its
# count, all in Chinese; the countdown makes itself heard when it opens. The shutdown goes to a
# fake XFCE session manager, which accepts it and then says it was called off (as when the user
# cancels an editor's "Save changes?"): the countdown and the status line then say so in words.
# With "band", the band shows a page of the maker's site instead (see timeline.sh): its text is
# read and its links are in the tree by their words; Tab and Shift+Tab go from link to link and
# out of the band, and Enter and a reader's press open links in the browser (a stand-in).
source "$(dirname "$0")/lib.sh"
tree=("${accessible_tree[@]}")

band_row() {
    mkdir -p "$work/bin"  # the browser: a stand-in that writes down what it is given
    printf '#!/bin/sh\necho "$*" >>"%s/opened"\n' "$work" >"$work/bin/xdg-open"
    chmod +x "$work/bin/xdg-open"
    make_site
    printf '%s' '<body bgcolor="#fff4c0"><p>Zeravan 新版本已经发布。<a href="news.html">新版本说明</a>' \
        ' · <a href="https://zeravan.example/zeravan/help.html">使用帮助</a></p></body>' \
        >"$site/zeravan/panel.html"
    PATH="$work/bin:$PATH" start_zeravan_on_site
    release_page
    await grep -qs panel.html "$site/sent" || fail "the band's page was not sent"
    sleep 1
    "${tree[@]}" tree "$app" "官网页面" "新版本说明" "使用帮助" >"$work/band.tree" 2>&1 ||
        fail "band: $(cat "$work/band.tree")"
    "${tree[@]}" text "$app" "官网页面" >"$work/band.text" 2>&1
    [ "$(cat "$work/band.text")" = "Zeravan 新版本已经发布。新版本说明 · 使用帮助" ] ||
        fail "the band reads: $(cat "$work/band.text")"

    # From the day choice into the band, through its links and out to the next control; then
    # back in on the last link and to the first, which Enter opens.
    "${tree[@]}" events "$app" 20 >"$work/events" 2>&1 &
    started+=($!)
    for _ in $(seq 100); do grep -q listening "$work/events" && break; sleep 0.05; done
    click "$main_window" 60 74
    xdotool key --delay 300 Tab Tab Tab shift+Tab shift+Tab
    screenshot screen_reader_band
    xdotool key Return
    local expected=$'combo box\t今天\ndocument frame\t官网页面\nlink\t新版本说明\nlink\t使用帮助
push button\t确定或修改关机时间\ndocument frame\t官网页面\nlink\t使用帮助\nlink\t新版本说明'
    focus_heard() { [ "$(grep -P '^focus:' "$work/events" | cut -f2,3)" = "$expected" ]; }
    await focus_heard || fail "the focus went: $(grep -P '^focus:' "$work/events")"
    await grep -qs news.html "$work/opened" || fail "Enter opened nothing"
    "${tree[@]}" press "$app" "使用帮助"
    await grep -qs help.html "$work/opened" || fail "the reader's press opened nothing"
    [ "$(cat "$work/opened")" = $'https://zeravan.example/zeravan/news.html
https://zeravan.example/zeravan/help.html' ] || fail "the browser was given: $(cat "$work/opened")"
    grep -E "官网页面|link:" "$work/band.tree"
    echo "reads: $(cat "$work/band.text")"
    grep -P '^focus:' "$work/events"
    echo "opened by Enter, then by the reader's press: $(cat "$work/opened")"
}

start_display
start_fake_logind
start_fake_session_manager xfce --call-off-after-ms=1500
start_accessibility_bus
app=$accessible_app
if [ "${4:-}" = band ]; then
    band_row
    exit
fi
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
