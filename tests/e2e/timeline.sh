#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# timeline.sh <zeravan> <fake logind> <shots> ROW...
# The real program's seconds when the clock does not run on as the program saw it last: the
# program held up by a stop signal, the clock moved on meanwhile, or midnight passing unseen. One
# timeline per row, on a shared display and bus, the program and logind afresh for each:
#   trigger_held_2s   held 2 s across 23:30:01: the countdown opens as the program goes on, and
#                     PowerOff comes in 23:30:31.
#   trigger_held_40s  held while the clock moves 40 s on across 23:30:01: no countdown opens.
#   shutdown_held_2s  held 2 s across 23:30:31: PowerOff comes as the program goes on.
#   shutdown_skipped  held while the clock moves 40 s on across 23:30:31, as in a long stall or
#                     with the clock set forward: no shutdown is asked for, and the countdown
#                     stays open to say it was missed.
#   tomorrow          明天 23:30 confirmed late in the evening, the program held up 2 s across
#                     midnight (no tick at 0:00:00), then the clock set to the next evening: the
#                     countdown opens in that evening's 23:30:01 and PowerOff comes in 23:30:31,
#                     on the day chosen, not a day later.
#   band_newlines     the band's page arrives just before 23:30:01, once the schedule is armed:
#                     700,000 newlines in a <pre>, whose layout would take minutes and hundreds
#                     of megabytes; the countdown and PowerOff come in their seconds all the same.
#   band_pictures     the same with pictures: a PNG of text chunks that inflate to 500 MB, six
#                     times a progressive JPEG of 40,000 scans, a GIF on a screen of 5700 x 5700.
#                     The page itself shows in the band.
source "$(dirname "$0")/lib.sh"
rows=("${@:4}")
start_display
start_private_bus

# Stops the program before the second at $1 ms of the day and lets it go on after it: $2 s
# later, while the clock moves on $3 s more than that. Sets stopped and resumed (ms of the day;
# a resume past midnight counts on from the day of the stop, so midnight is the second 86400000).
hold_across() {
    local second=$1 held=$2 moved=$3
    [ "$(cat "/proc/$zeravan_pid/comm")" = zeravan ] || fail "the stop signal would miss the program"
    await_clock $((second - 500))
    kill -STOP "$zeravan_pid"
    stopped=$(clock_ms_of_day)
    set_clock $((clock_offset + moved))
    sleep "$held"
    kill -CONT "$zeravan_pid"
    resumed=$(clock_ms_of_day)
    ((resumed >= stopped)) || resumed=$((resumed + 86400000))
    ((stopped < second && resumed >= second + 1000)) ||
        fail "the stop from $stopped to $resumed ms of the day did not span the second at $second"
    echo "held from $((stopped - second)) ms to $((resumed - second)) ms around that second"
}

start_armed() {
    start_fake_logind --stamp
    start_zeravan
    confirm_schedule
}

trigger_held_2s_row() {
    start_armed
    set_clock_to 23:29:59
    hold_across "$trigger" 2 0
    [ -n "$(wait_for_window '^Orrimel$' 5)" ] || fail "the countdown did not open late"
    local opened
    opened=$(clock_ms_of_day)
    ((opened < resumed + 1500)) || fail "opened $((opened - resumed)) ms after the stop"
    echo "countdown opened $((opened - trigger)) ms after 23:30:01"
    set_clock_to 23:30:30
    await_request_in_shutdown_second 'PowerOff true'
}

trigger_held_40s_row() {
    start_armed
    set_clock_to 23:29:59
    hold_across "$trigger" 0.5 40
    await_clock $((resumed + 2000))
    ! countdown_shown || fail "the countdown opened 40 s late"
    screenshot trigger_held_40s
}

shutdown_held_2s_row() {
    start_armed
    set_clock_to 23:30:00
    await_countdown_in_trigger_second
    set_clock_to 23:30:29
    hold_across "$shutdown_second" 2 0
    await grep -q '^PowerOff true' "$calls" || fail "no PowerOff after the stall: $(cat "$calls")"
    local requested
    requested=$(ms_of_first_call PowerOff)
    ((requested >= shutdown_second + 1000 && requested < resumed + 1500)) ||
        fail "PowerOff came at $requested ms of the day, $((requested - resumed)) ms after the stop"
    echo "PowerOff reached logind $((requested - shutdown_second)) ms after 23:30:31"
}

shutdown_skipped_row() {
    start_armed
    set_clock_to 23:30:00
    await_countdown_in_trigger_second
    set_clock_to 23:30:29
    hold_across "$shutdown_second" 0.5 40
    await_clock $((resumed + 2000))
    ! grep -q '^PowerOff' "$calls" || fail "asked for a shutdown 40 s late: $(cat "$calls")"
    countdown_shown || fail "the countdown that missed its second is gone"
    screenshot shutdown_skipped
}

tomorrow_row() {
    start_fake_logind --stamp
    set_clock_to 23:59:56
    start_zeravan
    click "$main_window" 60 74  # the day choice
    xdotool key Down            # 明天
    confirm_schedule
    set_clock_to 23:59:58
    hold_across "$(ms_of 24:00:00)" 2 0
    # On to 23:30:00 of this day, the day after the one confirmed on.
    set_clock_to 23:30:00 1
    await_countdown_in_trigger_second
    set_clock_to 23:30:30 1
    await_request_in_shutdown_second 'PowerOff true'
}

newlines_page() {
    python3 -c 'import sys; sys.stdout.write("<p>page</p><pre>" + "\n" * 700000 + "</pre>")' \
        >"$site/zeravan/panel.html"
}

pictures_page() {
    convert -size 1024x1024 xc:lime -interlace JPEG "$site/zeravan/scans.jpg"
    python3 - "$site/zeravan" <<'MAKE'
import struct, sys, zlib
folder = sys.argv[1]
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
grey = b"".join(b"\0" + b"\x80" * 40 for _ in range(20))
text = chunk(b"zTXt", b"Comment\0\0" + zlib.compress(b"a" * 7_500_000, 9))
png = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 40, 20, 8, 0, 0, 0, 0))
       + text * 67 + chunk(b"IDAT", zlib.compress(grey)) + chunk(b"IEND", b""))
jpeg = open(folder + "/scans.jpg", "rb").read()
scan = jpeg[jpeg.rindex(b"\xff\xda"):-2]
jpeg = jpeg[:-2] + scan * ((512 * 1024 - len(jpeg)) // len(scan)) + jpeg[-2:]
gif = (b"GIF89a\x44\x16\x44\x16\x80\0\0\0\xff\0\0\xff\0"
       b"\x2c\0\0\0\0\x01\0\x01\0\0\x02\x02\x44\x01\0\x3b")
page = ('<body bgcolor="#fff4c0"><p>page</p><img src="text.png">' + '<img src="scans.jpg">' * 6
        + '<img src="screen.gif"></body>')
for name, data in (("text.png", png), ("scans.jpg", jpeg), ("screen.gif", gif),
                   ("panel.html", page.encode())):
    open(folder + "/" + name, "wb").write(data)
MAKE
}

# Armed for 23:30 with the band's page held back, which then arrives two seconds before the
# countdown is due: it opens in 23:30:01 and PowerOff comes in 23:30:31.
armed_as_page_arrives() {
    start_fake_logind --stamp
    start_zeravan_on_site
    confirm_schedule
    set_clock_to 23:29:59
    release_page
    await grep -qs panel.html "$site/sent" || fail "the band's page was not sent"
    await_countdown_in_trigger_second
    set_clock_to 23:30:30
    await_request_in_shutdown_second 'PowerOff true'
}

band_newlines_row() {
    make_site
    newlines_page
    armed_as_page_arrives
}

band_pictures_row() {
    make_site
    pictures_page
    armed_as_page_arrives
    for picture in text.png scans.jpg screen.gif; do
        grep -q "$picture" "$site/sent" || fail "the band did not ask for $picture"
    done
    local band
    band=$(import -window "$main_window" png:- | convert - -format '%[pixel:p{200,240}]' info:)
    [ "$band" = "srgb(255,244,192)" ] || fail "the band shows $band, not the page's background"
    screenshot band_pictures
}

for row in "${rows[@]}"; do
    echo "--- $row"
    mark=$(started_count)
    "${row}_row"
    stop_started_since "$mark"
done
