#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# One program at a time: a second start ends at once with status 0, leaving one main window,
# and brings the running program's window back, also out of the notification area. A copy
# killed outright leaves its name behind for the next start to take over. Of many starts at the
# same moment exactly one becomes the program. Where another user took the name's folder first
# and there is no other, the program says why in a window and does not start.
source "$(dirname "$0")/lib.sh"
# The lock lives in the user's runtime folder: this test's own, as lib.sh makes it.
start_display
start_fake_logind
start_window_manager
start_tray_panel
start_zeravan

main_windows() { find_windows --onlyvisible --name '^ZeravanV8\.0$' 2>/dev/null | wc -l; }

start_again() {
    local status=0
    timeout 10 "$zeravan" >"$work/again.out" 2>&1 || status=$?
    [ "$status" = 0 ] || fail "a second start ended with status $status: $(cat "$work/again.out")"
    kill -0 "$zeravan_pid" || fail "the running program ended"
}

start_again
sleep 0.5
[ "$(main_windows)" = 1 ] || fail "$(main_windows) main windows after a second start"

hide_into_tray() {
    xdotool windowminimize "$main_window"
    for _ in $(seq 100); do (($(main_windows) == 0)) && break; sleep 0.05; done
    (($(main_windows) == 0)) || fail "minimising did not hide the window into the tray"
}
hide_into_tray
screenshot second_start_in_tray

start_again
for _ in $(seq 100); do (($(main_windows) == 1)) && break; sleep 0.05; done
[ "$(main_windows)" = 1 ] || fail "a second start did not bring the window back from the tray"
sleep 0.5
screenshot second_start_restored

kill -9 "$zeravan_pid"
wait "$zeravan_pid" 2>/dev/null || true
[ -n "$(find "$XDG_RUNTIME_DIR" -type s)" ] || fail "the killed program left no socket behind"
start_zeravan
start_again
sleep 0.5
[ "$(main_windows)" = 1 ] || fail "$(main_windows) main windows after taking over a killed one's name"
kill "$zeravan_pid"
wait "$zeravan_pid" 2>/dev/null || true

# Starts at the same moment (a double click twice over, a session restoring the program while
# the user starts it): exactly one becomes the program, or stays it when it ran already, and
# every other reaches it and ends with status 0. The starts wait on a pipe until all are there,
# and are let go together; each round but the last starts with no program and ends the one it
# left, killed, so that the next takes over its lock.
running() {
    local pid count=0
    for pid; do kill -0 "$pid" 2>/dev/null && count=$((count + 1)); done
    echo "$count"
}
one_runs() { [ "$(running "$@")" = 1 ]; }
all_waiting() { [ "$(wc -l <"$work/waiting")" = "$1" ]; }
# Round $1: $2 starts at once, beside the program $zeravan_pid when one runs; sets zeravan_pid to
# the program left.
burst() {
    local round=$1 starts=$2 pids=() status
    rm -f "$work/gate" "$work/waiting" && mkfifo "$work/gate" && exec 7<>"$work/gate"
    for i in $(seq "$starts"); do
        (echo >>"$work/waiting" && read -r _ <&7 && exec 7<&- &&
            exec "${on_test_clock[@]}" "$zeravan" >"$work/burst-$i.out" 2>&1) &
        pids+=($!) started+=($!)
    done
    await_within 20 all_waiting "$starts" || fail "round $round: not all starts were waiting"
    printf 'go\n%.0s' $(seq "$starts") >&7 && exec 7>&-
    await_within 60 one_runs "${pids[@]}" $zeravan_pid ||
        fail "round $round: $(running "${pids[@]}" $zeravan_pid) programs run a minute later"
    [ -z "$zeravan_pid" ] || kill -0 "$zeravan_pid" || fail "round $round: the program ended"
    for i in "${!pids[@]}"; do
        kill -0 "${pids[$i]}" 2>/dev/null && zeravan_pid=${pids[$i]} && continue
        status=0
        wait "${pids[$i]}" || status=$?
        [ "$status" = 0 ] || fail "round $round: a start ended with status $status: $(cat "$work/burst-$((i + 1)).out")"
    done
    [ -n "$(wait_for_window '^ZeravanV8\.0$' 20)" ] && sleep 0.5 && [ "$(main_windows)" = 1 ] ||
        fail "round $round: $(main_windows) main windows"
    echo "burst round $round: $starts starts at once, 1 program left, the other starts ended with status 0"
}
zeravan_pid=
for round in 1 2 3 4 5; do
    burst "$round" 16
    kill -9 "$zeravan_pid"
    wait "$zeravan_pid" 2>/dev/null || true
    zeravan_pid=
done
start_zeravan
hide_into_tray
burst 6 12
kill "$zeravan_pid"
wait "$zeravan_pid" 2>/dev/null || true

# Without a runtime folder the name's folder is in the temporary folder, where another user
# (nobody) made it first and waits in it, under the very name, for starts to ask. No place is
# left where the program could make sure that it runs once: it says why in a window of its own,
# in Chinese, and does not start.
unset XDG_RUNTIME_DIR
chmod 1777 "$TMPDIR"
chmod 711 "$work"
taken=$TMPDIR/zeravan-$(id -u)
# Every start makes it when it is not there: here the other user was first (after the temporary
# folder was emptied, say).
rm -rf "$taken"
runuser -u nobody -- mkdir -m 755 "$taken"
name=io.github.orrimel.Zeravan-$(printf '%s|' "$DISPLAY" | sha1sum | cut -c1-16)
runuser -u nobody -- /usr/bin/python3 -c 'import socket, sys
s = socket.socket(socket.AF_UNIX); s.bind(sys.argv[1]); s.listen(); print("listening", flush=True)
while True: s.accept()[0].close(); print("asked", flush=True)' "$taken/$name" >"$work/taker.log" 2>&1 &
started+=($!)
await grep -q listening "$work/taker.log" || fail "the other user's listener did not start"
"${on_test_clock[@]}" "$zeravan" >"$work/zeravan.out" 2>&1 &
zeravan_pid=$!
started+=($zeravan_pid)
notice=$(wait_for_window '^Zeravan$' 20)
[ -n "$notice" ] || fail "no window said why the program did not start; $(program_state): $(cat "$work/zeravan.out")"
sleep 0.5
screenshot not_started_another_users_folder
[ "$(main_windows)" = 0 ] || fail "the program started all the same"
grep -q "Zeravan 无法确保只运行一份：文件夹 $taken 属于另一个用户" "$work/zeravan.out" &&
    grep -q "cannot make sure that only one copy runs: the folder $taken belongs to another user" \
        "$work/zeravan.out" || fail "the program did not say why on standard error: $(cat "$work/zeravan.out")"
xdotool windowactivate --sync "$notice" key Return
status=0
await_within 10 eval '! kill -0 "$zeravan_pid" 2>/dev/null' || fail "closing the window did not end the program"
wait "$zeravan_pid" || status=$?
[ "$status" = 1 ] || fail "the program ended with status $status"
! grep -q asked "$work/taker.log" || fail "the program asked the other user's listener"
echo "second starts ended with status 0; the running program's window came back from the tray;"
echo "a killed program's name was taken over; with another user's folder the program said why" \
    "in a window and ended with status 1: $(cat "$work/zeravan.out")"
