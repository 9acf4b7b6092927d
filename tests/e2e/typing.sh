#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# The countdown opens while the user types into a maximised terminal in front: it shows on top
# of the terminal and of the main window but the keystrokes, blanks and Enter included, stay in
# the terminal, and the shutdown still comes in its second. With "cancel", the user then clicks
# the countdown and presses Space on its focused button, which cancels. The window manager ($5)
# is openbox, or i3, which floats both windows of the program over the tiled terminal and keeps
# no window above the others on request.
source "$(dirname "$0")/lib.sh"
mode=${4:-shutdown}
window_manager=${5:-openbox}
start_display
start_fake_logind --stamp
start_window_manager "$window_manager"

offset=$(offset_to 23:29:45)
start_zeravan "$offset"
click "$main_window" 324 76  # "确 定"
# Arming asks logind whether it may power off: the click reached the button.
await grep -q '^CanPowerOff' "$calls" || fail "the click on 确 定 armed nothing"

typed=$work/typed
xterm -maximized -title typing-here -e sh -c "stty -echo; cat >'$typed'" &
started+=($!)
terminal=$(wait_for_window '^typing-here$' 20)
[ -n "$terminal" ] || fail "the terminal did not appear"
xdotool windowactivate --sync "$terminal"

# Typing runs from before the countdown opens (23:30:01) until after.
until (($(shifted_ms_of_day "$offset") >= (23 * 3600 + 29 * 60 + 59) * 1000)); do sleep 0.05; done
text=$'ls -la /tmp\necho one two three\n  spaces  and  enter \ndate\nfinal line of text\n'
xdotool type --delay 80 "$text"
dialog=$(wait_for_window '^Orrimel$' 5)
[ -n "$dialog" ] || fail "no countdown on screen after the typing: it did not open, or a keystroke closed it"
now=$(shifted_ms_of_day "$offset")
((now > (23 * 3600 + 30 * 60 + 1) * 1000 + 500)) || fail "typing ended before the countdown opened"
screenshot "typing_${mode}_$window_manager"

[ "$(xdotool getactivewindow)" = "$terminal" ] || fail "the countdown took the focus"
stacking=$(xprop -root _NET_CLIENT_LIST_STACKING)
[ "$((${stacking##*, }))" = "$dialog" ] || fail "the countdown is not in front: $stacking"
[[ $stacking == *$(printf '0x%x' "$main_window")* ]] || fail "the main window is not stacked: $stacking"
sleep 0.5
[ "$(cat "$typed")" = "${text%$'\n'}" ] || fail "the typed text did not all reach the terminal: $(cat "$typed")"

if [ "$mode" = cancel ]; then
    click "$dialog" 30 20  # on the dialog, away from its button
    for _ in $(seq 40); do [ "$(xdotool getactivewindow)" = "$dialog" ] && break; sleep 0.05; done
    [ "$(xdotool getactivewindow)" = "$dialog" ] || fail "a click did not make the countdown active"
    xdotool key space
    for _ in $(seq 40); do find_windows --onlyvisible --name '^Orrimel$' >/dev/null || break; sleep 0.05; done
    ! find_windows --onlyvisible --name '^Orrimel$' >/dev/null || fail "Space did not cancel"
    sleep $((((23 * 3600 + 30 * 60 + 33) * 1000 - $(shifted_ms_of_day "$offset")) / 1000))
    ! grep -q '^PowerOff' "$calls" || fail "a cancelled countdown asked for a shutdown"
    echo "typing stayed in the terminal; a click and Space cancelled"
    exit 0
fi

for _ in $(seq 400); do grep -q '^PowerOff' "$calls" && break; sleep 0.1; done
grep -q '^PowerOff true' "$calls" || fail "no PowerOff: $(cat "$calls")"
requested=$(shifted_ms_of_first_call "$offset" PowerOff)
shutdown_second=$(((23 * 3600 + 30 * 60 + 31) * 1000))
((requested >= shutdown_second && requested < shutdown_second + 1300)) ||
    fail "PowerOff came at ${requested} ms of the day, not in 23:30:31"
echo "typing stayed in the terminal; PowerOff $((requested - shutdown_second)) ms into 23:30:31"
