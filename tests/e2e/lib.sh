# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# Shared by the end-to-end tests: a virtual display, a private bus with the fake logind on it,
# and the real program started on them. Source it; everything it starts ends with the test.
set -euo pipefail

zeravan=$1
fake_logind=$2
shots=$3
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$(mktemp -d)
mkdir -p "$shots"
started=()
# What the program started last writes, shown when it fails to start; a test may point it
# elsewhere.
program_log=$work/zeravan.out

cleanup() {
    for ((i = ${#started[@]} - 1; i >= 0; i--)); do kill "${started[$i]}" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap 'say_why_stopped; cleanup' EXIT

fail() {
    failure_said=1
    echo "FAIL: $*" >&2
    exit 1
}

# A command that fails outside any check ends the test (set -e) without a word of its own; the
# trap names it, so that no test ends without saying why.
set -E
trap 'failed_command="\"$BASH_COMMAND\" (status $?, line $LINENO of ${BASH_SOURCE[0]:-$0})"' ERR
say_why_stopped() {
    local status=$?
    if ((status != 0)) && [ -z "${failure_said:-}" ] && [ -n "${failed_command:-}" ]; then
        echo "FAIL: stopped at $failed_command" >&2
    fi
}

source "$repo/tools/virtual_display.sh"
start_display() {
    start_virtual_display "$work" || fail "Xvfb did not start"
    started+=($virtual_display_pid)
}

# A window manager, as on a desktop: openbox, or i3 ($1), a tiling one that floats windows of a
# fixed size and keeps no window above the others on request. Returns once it handles events.
start_window_manager() {
    if [ "${1:-openbox}" = i3 ]; then
        i3 -c "$repo/tests/e2e/i3.conf" >"$work/i3.log" 2>&1 &
        started+=($!)
        await_within 20 i3_answers || fail "i3 did not start: $(tail -n 5 "$work/i3.log")"
        return
    fi
    start_openbox
}

i3_answers() {
    local socket
    socket=$(xprop -root -notype I3_SOCKET_PATH 2>/dev/null | sed -n 's/^I3_SOCKET_PATH = "\(.*\)"$/\1/p')
    [ -n "$socket" ] && i3-msg -s "$socket" -t get_version >/dev/null 2>&1
}

# openbox names its desktops before its event loop runs, and what reaches it in between may wait
# there for a later event: a window mapped then stays unmanaged and unseen. Renaming the desktops
# is such a later event; openbox answering it (by naming the others again) shows that its loop
# runs.
start_openbox() {
    openbox --sm-disable >/dev/null 2>&1 &
    started+=($!)
    local answered=
    for _ in $(seq 200); do
        if [ -n "$(desktop_names)" ]; then
            xprop -root -f _NET_DESKTOP_NAMES 8u -set _NET_DESKTOP_NAMES probe
            sleep 0.05
            [[ $(desktop_names) == '"probe", '* ]] && answered=1 && break
        fi
        sleep 0.05
    done
    [ -n "$answered" ] || fail "the window manager did not start handling events"
    # Removed, the names come back as openbox first gave them.
    xprop -root -remove _NET_DESKTOP_NAMES
    await desktops_named || fail "the window manager did not name its desktops again"
}

desktop_names() {
    xprop -root -notype _NET_DESKTOP_NAMES 2>/dev/null | sed -n 's/^_NET_DESKTOP_NAMES = //p'
}
desktops_named() { [ -n "$(desktop_names)" ]; }

# A panel with a notification area (tint2, XEmbed), once the window manager is settled: it
# drops the icons it embeds before that.
start_tray_panel() {
    sleep 1
    tint2 -c "$repo/tests/e2e/tint2rc" >"$work/tint2.log" 2>&1 &
    started+=($!)
    await_within 20 grep -q 'systray started' "$work/tint2.log" ||
        fail "the panel's notification area did not start in 20 s: $(tail -n 5 "$work/tint2.log")"
    sleep 0.5
}

# The system bus of everything started from here on is a private one, with our fake logind.
start_fake_logind() {
    dbus-daemon --config-file="$repo/tests/support/private-bus.conf" \
        --address="unix:path=$work/bus" --print-address=4 --nofork 4>"$work/address" &
    started+=($!)
    for _ in $(seq 100); do [ -s "$work/address" ] && break; sleep 0.05; done
    export DBUS_SYSTEM_BUS_ADDRESS=$(head -n1 "$work/address")
    export DBUS_SESSION_BUS_ADDRESS=$DBUS_SYSTEM_BUS_ADDRESS
    calls=$work/calls.log
    : >"$calls"
    "$fake_logind" --log="$calls" "$@" >"$work/fake.out" &
    started+=($!)
    for _ in $(seq 100); do grep -q ready "$work/fake.out" 2>/dev/null && break; sleep 0.05; done
    grep -q ready "$work/fake.out" || fail "the fake logind did not start"
}

# A fake session manager of desktop $1 (gnome, kde, xfce ...) on the private session bus that
# start_fake_logind made; its calls go to $session_calls. Needs ZERAVAN_FAKE_SESSION_MANAGER.
start_fake_session_manager() {
    local kind=$1
    shift
    require_private_bus
    session_calls=$work/session_calls.log
    : >"$session_calls"
    "$ZERAVAN_FAKE_SESSION_MANAGER" --kind="$kind" --log="$session_calls" "$@" >"$work/session.out" &
    started+=($!)
    for _ in $(seq 100); do grep -q ready "$work/session.out" 2>/dev/null && break; sleep 0.05; done
    grep -q ready "$work/session.out" || fail "the fake session manager did not start"
}

# Whatever starts the program from here on must reach our fake, never the machine's logind.
require_private_bus() {
    [[ ${DBUS_SYSTEM_BUS_ADDRESS:-} == unix:path=$work/* ]] || fail "no private bus"
}

# Takes the program just started in the background ($!) as zeravan_pid and waits for its main
# window, main_window.
await_main_window() {
    zeravan_pid=$!
    started+=($zeravan_pid)
    main_window=$(wait_for_window '^ZeravanV8\.0$' 20)
    [ -n "$main_window" ] && return
    screenshot no_main_window || true
    fail "the main window did not appear; $(program_state):
$(tail -n 40 "$program_log" 2>&1)
$(describe_program)"
}

# What a program that should show a window is doing instead: the display's top-level windows
# and, where a debugger may attach, where each of its threads is.
describe_program() {
    echo "windows on $DISPLAY:"
    xwininfo -root -children 2>&1 | grep '^ *0x' || true
    local window
    for window in $(find_windows --name '^ZeravanV8\.0$' 2>/dev/null); do
        echo "main window $window: $(xwininfo -id "$window" | grep 'Map State')"
        xprop -id "$window" WM_STATE _NET_WM_STATE WM_HINTS 2>&1 | sed 's/^/    /'
    done
    kill -0 "$zeravan_pid" 2>/dev/null || return 0
    echo "threads of $zeravan_pid:"
    gdb -p "$zeravan_pid" -batch -nx -ex 'thread apply all bt 25' 2>&1 |
        grep -E '^(Thread|#)' || true
}

# Whether the program started last still runs, or how it ended.
program_state() {
    local status=0
    kill -0 "$zeravan_pid" 2>/dev/null && echo "the program still runs" && return
    wait "$zeravan_pid" || status=$?
    echo "the program ended with status $status"
}

# The shifted clock is preloaded into the program itself rather than started through the
# faketime command, which would stand between: a stop signal or the cleanup's kill would reach
# faketime and leave the program running, to answer the next test's start on the same display.
faketime_library=/usr/lib/x86_64-linux-gnu/faketime/libfaketimeMT.so.1

# A shift of $1 seconds as faketime reads it: "+90", or "-1380" when a test runs late in the day
# and shifts the clock back. faketime takes "+-1380" for no shift at all.
faketime_shift() { if (($1 >= 0)); then echo "+$1"; else echo "$1"; fi; }

# Starts the program, its clock shifted by $1 seconds (0: the real clock).
start_zeravan() {
    require_private_bus
    LD_PRELOAD=$faketime_library FAKETIME="$(faketime_shift "${1:-0}")s" \
        FAKETIME_DONT_FAKE_MONOTONIC=1 "$zeravan" >"$work/zeravan.out" 2>&1 &
    await_main_window
}

# Starts the program on a clock that `set_clock` can move while it runs, shifted by $1 seconds.
start_zeravan_on_settable_clock() {
    set_clock "$1"
    require_private_bus
    LD_PRELOAD=$faketime_library \
        FAKETIME_TIMESTAMP_FILE="$work/clock" FAKETIME_NO_CACHE=1 FAKETIME_DONT_FAKE_MONOTONIC=1 \
        "$zeravan" >"$work/zeravan.out" 2>&1 &
    await_main_window
}

# Sets the settable clock to the real one shifted by $1 seconds; the program sees it at once.
set_clock() {
    faketime_shift "$1" >"$work/clock.new"
    mv "$work/clock.new" "$work/clock"
}

# Milliseconds since midnight of a moment given in ms since 1970.
ms_of_day_at() {
    local moment=$1
    echo $((moment - $(date -d "$(date -d "@$((moment / 1000))" +%F)" +%s%3N)))
}

# Milliseconds since midnight on the shifted clock, now.
shifted_ms_of_day() { ms_of_day_at $(($(date +%s%3N) + $1 * 1000)); }

# Milliseconds since midnight on the shifted clock at which the fake logind (started with
# --stamp) received the first call named $2.
shifted_ms_of_first_call() {
    local offset=$1 name=$2 stamp
    stamp=$(grep -m1 "^$name" "$calls" | cut -f2)
    [ -n "$stamp" ] || fail "no $name call in $calls"
    ms_of_day_at $((stamp + offset * 1000))
}

# Seconds to add to the real clock so that it reads $1 (HH:MM:SS) today, from now on.
offset_to() { echo $(($(date -d "today $1" +%s) - $(date +%s))); }

# Waits up to SECONDS for the countdown of a schedule for 23:30 and fails unless it opened in
# 23:30:01 of the clock shifted by OFFSET; sets dialog, and trigger to 23:30:01 in ms of the day.
await_countdown_in_trigger_second() {
    local offset=$1 seconds=$2 opened
    trigger=$(((23 * 3600 + 30 * 60 + 1) * 1000))
    dialog=$(wait_for_window '^Orrimel$' "$seconds")
    opened=$(shifted_ms_of_day "$offset")
    [ -n "$dialog" ] || fail "the countdown did not open"
    ((opened >= trigger && opened < trigger + 1300)) ||
        fail "the countdown opened at ${opened} ms of the day, not in 23:30:01"
    echo "countdown opened $((opened - trigger)) ms into 23:30:01"
}

# xdotool search with these arguments, made again when an X error ended it: a window that
# vanishes while xdotool reads it (Wine makes and drops many as it starts, and a session's end
# closes them all) ends the search that way, and would pass for no window at all.
find_windows() {
    local found status
    for _ in $(seq 10); do
        status=0
        found=$(xdotool search "$@" 2>"$work/search.err") || status=$?
        grep -q '^X Error' "$work/search.err" || break
    done
    [ -z "$found" ] || echo "$found"
    return $status
}

# Waits up to SECONDS for a visible window named NAME (a regular expression) and prints its id,
# or nothing when none appeared in time. It looks every 20 ms, so that the moment it returns
# tells when the window was mapped.
wait_for_window() {
    local name=$1 seconds=$2 window deadline
    deadline=$(($(date +%s%3N) + seconds * 1000))
    while (($(date +%s%3N) < deadline)); do
        window=$(find_windows --onlyvisible --name "$name" | head -n1 || true)
        [ -n "$window" ] && echo "$window" && return 0
        sleep 0.02
    done
}

# Waits up to SECONDS for a condition (a command) to hold; await gives it 5 s.
await_within() {
    local seconds=$1
    shift
    for _ in $(seq $((seconds * 20))); do "$@" && return 0; sleep 0.05; done
    "$@"
}
await() { await_within 5 "$@"; }

click() { xdotool mousemove --window "$1" "$2" "$3" click 1; }

screenshot() { import -window root "$shots/$1.png"; }
