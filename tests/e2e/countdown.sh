#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# countdown.sh <zeravan> <fake logind> <shots> openbox|marco|i3 ROW...
# A scheduled shutdown end to end, one road per row: 23:30 confirmed, the countdown opens in
# 23:30:01 and the shutdown is asked for in 23:30:31, the test's clock moved on over the waits in
# between. The rows share the display, the window manager and the bus; each starts the program
# and the fakes afresh.
#   shutdown  The user types into a maximised terminal in front while the countdown opens: it
#             shows on top of the terminal and of the main window, but the keystrokes, blanks and
#             Enter included, stay in the terminal. PowerOff reaches logind in 23:30:31, once.
#   cancel    The same typing; then the user clicks the countdown and presses Space on its
#             focused button, which cancels: no request is made.
#   refused   logind says no: one request only, and the countdown stays open to say so.
#   session   An XFCE session manager is on the session bus: it gets the one request, logind none.
#   silent    logind never answers whether it may power off: once the program has waited its
#             ten seconds, the schedule is refused and no countdown opens.
#   handed_over  The same typing; GNOME's session manager gets the one request and holds its
#             answer while its dialog runs: the countdown says in words that the system is
#             shutting down, the status line agrees, the countdown stays above the terminal and
#             the main window, a window that opens afterwards comes on top of it, and a screen
#             reader hears no count below zero. The count runs on steady time, so
#             this row lets the clock run its thirty seconds.
# i3 is a tiling window manager that floats both windows of the program over the tiled terminal
# and keeps no window above the others on request; marco puts a window that opened without the
# focus just below the window that had it.
source "$(dirname "$0")/lib.sh"
window_manager=$4
rows=("${@:5}")
start_display
start_private_bus
start_window_manager "$window_manager"

# Types into a maximised terminal in front from before the countdown opens (23:30:01) until
# after, and checks what the user sees meanwhile; sets dialog and terminal.
type_while_the_countdown_opens() {
    local typed=$work/typed_$row opening
    local text=$'ls -la /tmp\necho one two three\n  spaces  and  enter \ndate\nfinal line of text\n'
    xterm -maximized -title typing-here -e sh -c "stty -echo; cat >'$typed'" &
    started+=($!)
    terminal=$(wait_for_window '^typing-here$' 20)
    [ -n "$terminal" ] || fail "the terminal did not appear"
    xdotool windowactivate --sync "$terminal"

    set_clock_to 23:29:59
    await_countdown_in_trigger_second >"$work/opening" 2>&1 &
    opening=$!
    local typing_began typing_ended
    typing_began=$(clock_ms_of_day)
    xdotool type --delay 120 "$text"  # about 5 s
    typing_ended=$(clock_ms_of_day)
    wait "$opening" || fail "$(cat "$work/opening")"
    cat "$work/opening"
    dialog=$(wait_for_window '^Orrimel$' 2)
    [ -n "$dialog" ] || fail "no countdown on screen after the typing: a keystroke closed it;" \
        "the terminal got: $(cat -A "$typed"); $(program_state)"
    ((typing_ended > trigger + 500)) ||
        fail "typing from $typing_began to $typing_ended ms of the day ended before the countdown opened"
    screenshot "typing_${row}_$window_manager"

    [ "$(xdotool getactivewindow)" = "$terminal" ] || fail "the countdown took the focus"
    local stacking
    stacking=$(xprop -root _NET_CLIENT_LIST_STACKING)
    [ "$((${stacking##*, }))" = "$dialog" ] || fail "the countdown is not in front: $stacking"
    [[ $stacking == *$(printf '0x%x' "$main_window")* ]] || fail "the main window is not stacked: $stacking"
    typed_all() { [ "$(cat "$typed")" = "${text%$'\n'}" ]; }
    await typed_all || fail "the typed text did not all reach the terminal: $(cat "$typed")"
}

shutdown_row() {
    start_fake_logind --stamp
    start_zeravan
    confirm_schedule
    type_while_the_countdown_opens
    set_clock_to 23:30:30
    await_request_in_shutdown_second 'PowerOff true'
}

cancel_row() {
    start_fake_logind --stamp
    start_zeravan
    confirm_schedule
    type_while_the_countdown_opens
    click "$dialog" 30 20  # on the dialog, away from its button
    dialog_active() { [ "$(xdotool getactivewindow)" = "$dialog" ]; }
    await dialog_active || fail "a click did not make the countdown active"
    xdotool key space
    countdown_gone() { ! countdown_shown; }
    await countdown_gone || fail "Space did not cancel"
    set_clock_to 23:30:30
    await_clock $((shutdown_second + 1300))
    ! grep -q '^PowerOff' "$calls" || fail "a cancelled countdown asked for a shutdown"
    echo "typing stayed in the terminal; a click and Space cancelled; calls: $(cut -f1 "$calls" | tr '\n' ' ')"
}

refused_row() {
    start_fake_logind --stamp --refuse=org.freedesktop.DBus.Error.AccessDenied
    start_zeravan
    confirm_schedule
    set_clock_to 23:30:00
    await_countdown_in_trigger_second
    set_clock_to 23:30:30
    await_request_in_shutdown_second 'PowerOff true'
    countdown_shown || fail "the countdown closed instead of saying the shutdown was refused"
    screenshot countdown_refused
}

session_row() {
    start_fake_logind --stamp
    start_fake_session_manager xfce --stamp
    XDG_CURRENT_DESKTOP=XFCE start_zeravan
    confirm_schedule
    set_clock_to 23:30:00
    await_countdown_in_trigger_second
    set_clock_to 23:30:30
    await_request_in_shutdown_second 'org.xfce.SessionManager Shutdown true' "$session_calls"
    [ "$(grep -c . "$session_calls")" = 1 ] || fail "the session was asked more than once: $(cat "$session_calls")"
    ! grep -q '^PowerOff' "$calls" || fail "logind was asked too: $(cat "$calls")"
}

silent_row() {
    start_fake_logind --stamp --silent
    start_zeravan
    confirm_schedule
    sleep 11  # the program's own wait for an answer, in steady time
    set_clock_to 23:30:00
    await_clock $((trigger + 1300))
    ! countdown_shown || fail "a schedule that logind never allowed opened the countdown"
    screenshot arming_silent
    echo "silent: no countdown opened; calls: $(cut -f1 "$calls" | tr '\n' ' ')"
}

handed_over_row() {
    start_fake_logind --stamp
    start_fake_session_manager gnome --stamp --hold-ms=600000
    start_accessibility_bus
    XDG_CURRENT_DESKTOP=GNOME start_zeravan
    "${accessible_tree[@]}" events "$accessible_app" 70 >"$work/events" 2>&1 &
    started+=($!)
    await grep -q listening "$work/events" || fail "no screen reader listening: $(cat "$work/events")"
    confirm_schedule
    type_while_the_countdown_opens
    local request='org.gnome.SessionManager Shutdown'
    await_within 40 grep -q "^$request" "$session_calls" || fail "no $request: $(cat "$session_calls")"
    await_request_in_shutdown_second "$request" "$session_calls"
    above() { xprop -id "$dialog" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE; }
    # Where the window manager has no such state (i3), the property is the program's own word.
    if xprop -root _NET_SUPPORTED | grep -q _NET_WM_STATE_ABOVE; then
        await eval '! above' || fail "the countdown still stays above the other windows"
    fi

    # As a program asking "save changes?" would, a window opens now; the clock moves on as the
    # desktop's dialog counts down.
    xmessage -title opened-afterwards 'Save changes?' &
    started+=($!)
    local later stacking
    later=$(wait_for_window '^opened-afterwards$' 10)
    [ -n "$later" ] || fail "the window opened afterwards did not appear"
    set_clock_to 23:31:30
    sleep 4  # where the count would have gone on below zero
    countdown_shown || fail "the countdown closed"
    stacking=$(xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/, /\n/g')
    # Listed bottom to top: whether window $2 is above window $1.
    stacked_above() { grep -A1000 -ix "$(printf '0x%x' "$1")" <<<"$stacking" | grep -qix "$(printf '0x%x' "$2")"; }
    stacked_above "$dialog" "$later" || fail "the window opened afterwards is not above the countdown: $stacking"
    stacked_above "$main_window" "$dialog" || fail "the countdown went below the main window: $stacking"
    stacked_above "$terminal" "$dialog" || fail "the countdown went below the terminal in use: $stacking"
    screenshot "handed_over_$window_manager"
    local window names=()
    for window in terminal main_window dialog later; do
        names+=(-e "s/^$(printf '0x%x' "${!window}")\$/$window/")
    done
    echo "stacked bottom to top after the hand-over: $(sed "${names[@]}" <<<"$stacking" | tr '\n' ' ')"
    "${accessible_tree[@]}" tree "$accessible_app" "系统正在关机，请留意系统提示" "目前状态：系统正在关机" \
        >"$work/handed_over.tree" 2>&1 || fail "handed over: $(cat "$work/handed_over.tree")"
    ! grep -q "离关机时间还有 -" "$work/events" || fail "a count below zero was heard: $(grep 离关机 "$work/events")"
    grep -q "离关机时间还有 2 秒" "$work/events" || fail "the count was not heard: $(cat "$work/events")"
    echo "handed over: the countdown says $(grep -o "'系统正在关机[^']*'" "$work/handed_over.tree" | head -n1)," \
        "under the window opened afterwards; heard: $(grep -o '离关机时间还有 [0-9-]* 秒' "$work/events" | tail -n3 | tr '\n' ' ')"
}

for row in "${rows[@]}"; do
    echo "--- $row on $window_manager"
    mark=$(started_count)
    "${row}_row"
    stop_started_since "$mark"
done
