#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# One program at a time: a second start ends at once with status 0, leaving one main window,
# and brings the running program's window back, also out of the notification area. A copy
# killed outright leaves its name behind for the next start to take over; another user who
# takes the name's folder first does not keep the program from starting.
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

xdotool windowminimize "$main_window"
for _ in $(seq 100); do (($(main_windows) == 0)) && break; sleep 0.05; done
(($(main_windows) == 0)) || fail "minimising did not hide the window into the tray"
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

# Without a runtime folder the name's folder is in the temporary folder, where another user
# (nobody) made it first and waits in it, under the very name, for starts to ask.
unset XDG_RUNTIME_DIR
chmod 1777 "$TMPDIR"
chmod 711 "$work"
taken=$TMPDIR/zeravan-$(id -u)
runuser -u nobody -- mkdir -m 755 "$taken"
name=io.github.orrimel.Zeravan-$(printf '%s|' "$DISPLAY" | sha1sum | cut -c1-16)
runuser -u nobody -- /usr/bin/python3 -c 'import socket, sys
s = socket.socket(socket.AF_UNIX); s.bind(sys.argv[1]); s.listen(); print("listening", flush=True)
while True: s.accept()[0].close(); print("asked", flush=True)' "$taken/$name" >"$work/taker.log" 2>&1 &
started+=($!)
await grep -q listening "$work/taker.log" || fail "the other user's listener did not start"
start_zeravan
grep -q "Zeravan 无法确保只运行一份：文件夹 $taken 属于另一个用户" "$work/zeravan.out" &&
    grep -q "cannot make sure that only one copy runs: the folder $taken belongs to another user" \
        "$work/zeravan.out" || fail "the program did not say why it runs without the lock: $(cat "$work/zeravan.out")"
! grep -q asked "$work/taker.log" || fail "the program asked the other user's listener"
echo "second starts ended with status 0; the running program's window came back from the tray;"
echo "a killed program's name was taken over; another user's folder was refused: $(cat "$work/zeravan.out")"
