#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# One scheduled shutdown under Wine, on a settable clock moved across the waits: confirm 23:30,
# the countdown opens in 23:30:01, and in 23:30:31 the program enables its shutdown privilege and
# calls ExitWindowsEx
# with EWX_SHUTDOWN alone. Wine's relay trace shows the calls and its process trace the
# wineboot that ExitWindowsEx starts, which ends this prefix's programs (and nothing else); its
# own channel what each window answered when asked whether the session may end.
# With "cancel", the cancel button is pressed instead and ExitWindowsEx is never called.
# With "objected", a small program that objects to the end of the session runs beside it, built
# here with the MinGW compiler and started first, so that Wine, which asks the programs one at a
# time in the order they started, asks it first: it says no, and the session goes on. The
# program calls ExitWindowsEx once all the same, and its countdown says in words that the system
# has the shutdown and leaves the topmost band, so that the programs' dialogs can come on top,
# while it stays above the windows it covered. Windows tells nothing more: two minutes on the
# countdown and the status line say that the shutdown did not come (steady time moves with the
# clock in this row, the wineserver's included, so that the wait passes in an instant), in words
# that fit the status line.
source "$(dirname "$0")/lib.sh"
mode=${5:-shutdown}
start_display
new_prefix
unpack_release
# As on a desktop: without a window manager, Wine waits two seconds for each window it hides
# to be withdrawn, and the program's ending takes that much longer.
start_window_manager
# Only the calls of the shutdown road are traced, each with its arguments.
run_wine reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /f \
    /d 'OpenProcessToken;LookupPrivilegeValueA;AdjustTokenPrivileges;ExitWindowsEx' \
    >"$work/reg.out" 2>&1 || fail "could not set the relay filter: $(cat "$work/reg.out")"
stop_wine

if [ "$mode" = objected ]; then
    objector=$work/objector.exe
    x86_64-w64-mingw32-g++-posix -O2 -static -mwindows -o "$objector" \
        "$(dirname "$0")/objector.cpp" >"$work/objector.build" 2>&1 ||
        fail "the objecting program did not build: $(cat "$work/objector.build")"
fi

trace=$work/trace.log
program_log=$trace
# The clock is preloaded, as on Linux, and read from a file that the test rewrites: Wine and its
# wineserver see each move at once. It starts at 23:29:30 and is moved to just before each second
# the test waits for, so that only Wine's own start takes real time.
set_clock "$(offset_to 23:29:30)"
clock_environment=("${test_clock_environment[@]}")
if [ -n "${objector:-}" ]; then
    clock_environment=("${test_clock_environment[@]/FAKETIME_DONT_FAKE_MONOTONIC=1/FAKETIME_DONT_FAKE_MONOTONIC=0}")
    # The first program starts the wineserver, which takes the clock with it.
    (
        export "${clock_environment[@]}"
        run_wine "$objector"
    ) >"$work/objector.out" 2>&1 &
    started+=($!)
    [ -n "$(wait_for_window '^objector$' 60)" ] || fail "the objecting program did not start"
fi
(
    export "${clock_environment[@]}" WINEDEBUG=+relay,+process,+wineboot
    run_wine "$zeravan_exe"
) 2> >(stamp_lines >"$trace") >"$work/zeravan.out" &
await_main_window

click "$main_window" 324 76  # "确 定"
sleep 1
offset=$(offset_to 23:30:00)
set_clock "$offset"
await_countdown_in_trigger_second "$offset" 10
sleep 1.5
screenshot "wine_countdown_$mode"
import -window "$dialog" "$work/counting.png"
above() { xprop -id "$dialog" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE; }
above || fail "the countdown is not topmost while it counts: $(xprop -id "$dialog" _NET_WM_STATE)"
shutdown_second=$(((23 * 3600 + 30 * 60 + 31) * 1000))
offset=$(offset_to 23:30:30)
# Real time (ms since 1970) from which the traced calls belong to the shutdown second; the calls
# of start-up (its own token queries) came before it.
moved_at=$(date +%s%3N)

# The traced calls of one thread since the clock was moved to the shutdown second: arrival (ms of
# the day on the moved clock), then the call.
calls_of() {
    local thread=$1 stamp line
    grep -P "^\d+\t$thread:Call .*\b(OpenProcessToken|LookupPrivilegeValueA|AdjustTokenPrivileges|ExitWindowsEx)\(" "$trace" |
        while IFS=$'\t' read -r stamp line; do
            if ((stamp >= moved_at)); then echo "$(ms_of_day_at $((stamp + offset * 1000))) ${line#*:Call }"; fi
        done
}

if [ "$mode" = cancel ]; then
    click "$dialog" 136 72  # "取 消 关 机"
    sleep 0.5
    set_clock "$offset"
    # Three seconds past the shutdown second on the moved clock.
    sleep 3.5
    ! grep -q 'ExitWindowsEx(' "$trace" || fail "a cancelled countdown called ExitWindowsEx"
    ! grep -q 'end-session' "$trace" || fail "a cancelled countdown ended the session"
    [ -z "$(find_windows --onlyvisible --name '^Orrimel$' || true)" ] || fail "dialog still open"
    [ -n "$(find_windows --onlyvisible --name '^ZeravanV8\.0$' || true)" ] || fail "main window gone"
    screenshot wine_cancelled
    echo "cancelled: no ExitWindowsEx call, the program runs on"
    exit 0
fi

set_clock "$offset"
for _ in $(seq 600); do grep -q 'end-session' "$trace" && break; sleep 0.1; done
exit_line=$(grep -m1 -P ':Call user32\.ExitWindowsEx\(' "$trace" || true)
await_clock $((shutdown_second + 1300))
exits=$(grep -cP ':Call user32\.ExitWindowsEx\(' "$trace" || true)
[ "$exits" = 1 ] || fail "ExitWindowsEx was called $exits times in the shutdown second"
[ -n "$exit_line" ] || fail "no ExitWindowsEx call; traced: $(grep -E 'Call |end-session' "$trace" | tail -n 20)"
grep -qP 'ExitWindowsEx\(0*1,0*0\)' <<<"$exit_line" ||
    fail "ExitWindowsEx not called with EWX_SHUTDOWN alone: $exit_line"
thread=$(cut -f2 <<<"$exit_line" | cut -d: -f1)
calls=$(calls_of "$thread")
echo "calls of the program's GUI thread ($thread), ms of the day, 23:30:31 = $shutdown_second:"
echo "$calls"
first_four=$(head -n4 <<<"$calls" | cut -d' ' -f2 | sed 's/(.*//' | tr '\n' ' ')
expected='advapi32.OpenProcessToken advapi32.LookupPrivilegeValueA advapi32.AdjustTokenPrivileges user32.ExitWindowsEx '
[ "$first_four" = "$expected" ] || fail "not the privilege, then the shutdown: $first_four"
while read -r at call; do
    ((at >= shutdown_second && at < shutdown_second + 1300)) || fail "$call came at $at, not in 23:30:31"
done < <(grep -E 'OpenProcessToken|ExitWindowsEx' <<<"$calls")
grep -q 'ExitWindowsEx(0*[^1],' <<<"$calls" && fail "another ExitWindowsEx than EWX_SHUTDOWN: $calls"

ended=$(grep -m1 -P 'wineboot\.exe.*--end-session --shutdown' "$trace" || true)
[ -n "$ended" ] || fail "Wine started no wineboot --end-session --shutdown"
ended_at=$(cut -f1 <<<"$ended")
echo "wineboot started at $(ms_of_day_at $((ended_at + offset * 1000))): ${ended#*$'\t'}"

if [ "$mode" = objected ]; then
    for _ in $(seq 300); do grep -aq 'received response WM_QUERYENDSESSION' "$trace" && break; sleep 0.1; done
    answers=$(grep -a 'received response WM_QUERYENDSESSION' "$trace" | sed 's/.*received response //')
    grep -q 'lresult 0$' <<<"$answers" || fail "nobody objected to the end of the session: $answers"
    # Seconds of the desktop's own time later: the session goes on, and the countdown says what
    # became of the shutdown.
    set_clock "$((offset + 60))"
    sleep 2
    countdown_shown || fail "the countdown closed although the session goes on"
    ! above || fail "the countdown stays topmost after Windows took the shutdown"
    import -window "$dialog" "$work/told.png"
    # Between the opening words and the count (x 141 to 151 of the dialog's line of words) the
    # count leaves a gap; the words said instead of the count run through it.
    gap_is_inked() {
        [ "$(convert "$1" -crop 11x12+141+24 +repage -colorspace Gray -threshold 50% \
            -format '%[fx:minima]' info:)" = 0 ]
    }
    ! gap_is_inked "$work/counting.png" || fail "no gap beside the count while it counted"
    gap_is_inked "$work/told.png" || fail "the countdown says no words instead of the count"
    objector_window=$(find_windows --onlyvisible --name '^objector$' | head -n1)
    # Listed bottom to top: whether window $2 is above window $1.
    stacked_above() {
        xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/, /\n/g' |
            grep -A1000 -ix "$(printf '0x%x' "$1")" | grep -qix "$(printf '0x%x' "$2")"
    }
    for covered in "$main_window" "$objector_window"; do
        stacked_above "$covered" "$dialog" || fail "the countdown went below a window it covered"
    done
    (run_wine "$objector") >/dev/null 2>&1 &
    started+=($!)
    opened_afterwards() { find_windows --onlyvisible --name '^objector$' | grep -vx "$objector_window"; }
    await_within 30 opened_afterwards >/dev/null || fail "no second window opened"
    stacked_above "$dialog" "$(opened_afterwards | head -n1)" ||
        fail "a window opened afterwards is not above the countdown"
    screenshot wine_objected
    # The words of the countdown's line and the status line's ink, in a shot of each window.
    words() { import -window "$dialog" -crop 160x14+56+23 +repage "$1"; }
    # The column after the status line's last yellow one, counted from x 200 of the main window,
    # where the schedule panel ends with column 168.
    status_ink_end() {
        import -window "$main_window" png:- | convert - -crop 188x16+200+95 +repage \
            -fx 'r > 0.8 && g > 0.8 && b < 0.4' -format '%@' info: | awk -F'[x+]' '{ print $3 + $1 }'
    }
    # The countdown covers the status line: moved aside, as a user would.
    xdotool windowmove "$dialog" 0 500
    sleep 1
    words "$work/words_told.png"
    told_end=$(status_ink_end)
    # Past the two minutes Windows was given, on steady time.
    set_clock "$((offset + 60 + 125))"
    words_changed() {
        words "$work/words_overdue.png"
        [ "$(compare -metric AE "$work/words_told.png" "$work/words_overdue.png" null: 2>&1)" != 0 ]
    }
    await words_changed || fail "two minutes on, the countdown says nothing new"
    overdue_end=$(status_ink_end)
    screenshot wine_objected_overdue
    ((overdue_end > told_end + 60)) || fail "the status line does not say the longer words: $told_end, $overdue_end"
    ((overdue_end < 169)) || fail "the status line's last character is cut at the panel's edge: $overdue_end"
    echo "the status line's ink ended at x $((200 + told_end)), two minutes on at $((200 + overdue_end))"
    echo "asked whether the session may end, the windows answered:"
    sed 's/^/  /' <<<"$answers"
    echo "one ExitWindowsEx; the session goes on, and the countdown says so, no longer topmost"
    exit 0
fi
# wineboot asks every window whether the session may end (WM_QUERYENDSESSION), then ends it
# (WM_ENDSESSION). A program that does not answer within 5 s gets Wine's "end program" dialog,
# and wineboot waits for it as long as it takes; a loaded machine may need some seconds
# for each step, so the windows get half a minute.
program_windows() { find_windows --name '^(ZeravanV8\.0|Orrimel)$' 2>/dev/null || true; }
for _ in $(seq 300); do
    [ -z "$(program_windows)" ] && break
    sleep 0.1
done
session_trace=$(grep -aE 'received response|terminating process|wineboot.*err' "$trace" || true)
if [ -n "$(program_windows)" ]; then
    screenshot wine_shutdown_left_open
    fail "the program's windows are still there 30 s after the shutdown began;" \
        "wineboot: ${session_trace:-no answer received};" \
        "windows: $(find_windows --name . getwindowname %@ 2>/dev/null | tr '\n' '|')"
fi
closed_after=$(($(date +%s%3N) - ended_at))
# What the program answered the wineboot that its own call started (the first to ask).
asker=$(grep -am1 'received response WM_QUERYENDSESSION' <<<"$session_trace" |
    cut -f2 | cut -d: -f1 || true)
[ -n "$asker" ] || fail "wineboot never asked the program's windows whether the session may end"
answers=$(grep -a "$asker:trace:wineboot:.*received response WM_QUERYENDSESSION" <<<"$session_trace")
! grep -q 'lresult 0$' <<<"$answers" ||
    fail "the program objected to ending the session it asked for: $answers"
echo "asked whether the session may end, the program's windows answered:"
sed 's/.*received response /  /' <<<"$answers"
echo "the program's windows closed with the session, within $closed_after ms of wineboot's start"
