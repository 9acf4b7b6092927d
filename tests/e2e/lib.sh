# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# Shared by the end-to-end tests: a virtual display, a private bus with the fake logind on it,
# a clock of the test's own, and the real program started on them. Source it; everything it
# starts ends with the test. Nothing is shared with tests running beside it: the display number
# is the server's pick, and home, runtime and temporary folders are the test's own.
set -euo pipefail

zeravan=$1
fake_logind=$2
shots=$3
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$(mktemp -d)
mkdir -p "$shots"
started=()
export HOME=$work/home XDG_RUNTIME_DIR=$work/runtime TMPDIR=$work/tmp
mkdir -p "$HOME" "$TMPDIR"
mkdir -m 700 "$XDG_RUNTIME_DIR"
# What the program started last writes, shown when it fails to start; a test may point it
# elsewhere.
program_log=$work/zeravan.out

# Ends process $1 if it is still one that this test started. Process ids come round again
# within seconds while many tests run side by side: the id of one that has ended may already be
# another test's program, whose parent is not here.
end_started() {
    local parent
    parent=$(sed 's/.*) //' "/proc/$1/stat" 2>/dev/null | cut -d' ' -f2) || return 0
    [[ $parent == "$$" || " ${started[*]} " == *" $parent "* ]] || return 0
    kill "$1" 2>/dev/null || true
}

cleanup() {
    for ((i = ${#started[@]} - 1; i >= 0; i--)); do end_started "${started[$i]}"; done
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

# A window manager, as on a desktop: openbox, marco (MATE's, which keeps a window that opened
# without the focus below the window that had it), or i3 ($1), a tiling one that floats windows
# of a fixed size and keeps no window above the others on request. Returns once it handles events.
start_window_manager() {
    case ${1:-openbox} in
    i3)
        i3 -c "$repo/tests/e2e/i3.conf" >"$work/i3.log" 2>&1 &
        started+=($!)
        await_within 20 i3_answers || fail "i3 did not start: $(tail -n 5 "$work/i3.log")"
        ;;
    marco)
        # Its settings in memory, not in the user's dconf database.
        GSETTINGS_BACKEND=memory marco --sm-disable --no-composite >"$work/marco.log" 2>&1 &
        started+=($!)
        await_within 20 manages_screen || fail "marco did not start: $(tail -n 5 "$work/marco.log")"
        ;;
    *) start_openbox ;;
    esac
}
manages_screen() { xprop -root -notype _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 0x; }

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

# The system and session bus of everything started from here on: a private one.
start_private_bus() {
    dbus-daemon --config-file="$repo/tests/support/private-bus.conf" \
        --address="unix:path=$work/bus" --print-address=4 --nofork 4>"$work/address" &
    started+=($!)
    for _ in $(seq 100); do [ -s "$work/address" ] && break; sleep 0.05; done
    export DBUS_SYSTEM_BUS_ADDRESS=$(head -n1 "$work/address")
    export DBUS_SESSION_BUS_ADDRESS=$DBUS_SYSTEM_BUS_ADDRESS
}

# Our fake logind on the private bus (started first if there is none), with the options given;
# its calls go to $calls, stamped with the test's clock.
start_fake_logind() {
    [[ ${DBUS_SYSTEM_BUS_ADDRESS:-} == unix:path=$work/* ]] || start_private_bus
    calls=$work/calls.log
    : >"$calls"
    "${on_test_clock[@]}" "$fake_logind" --log="$calls" "$@" >"$work/fake.out" &
    started+=($!)
    await grep -q ready "$work/fake.out" || fail "the fake logind did not start"
}

# A fake session manager of desktop $1 (gnome, kde, xfce ...) on the private session bus that
# start_fake_logind made; its calls go to $session_calls. Needs ZERAVAN_FAKE_SESSION_MANAGER.
start_fake_session_manager() {
    local kind=$1
    shift
    require_private_bus
    session_calls=$work/session_calls.log
    : >"$session_calls"
    "${on_test_clock[@]}" "$ZERAVAN_FAKE_SESSION_MANAGER" --kind="$kind" --log="$session_calls" "$@" \
        >"$work/session.out" &
    started+=($!)
    await grep -q ready "$work/session.out" || fail "the fake session manager did not start"
}

# The accessibility bus of at-spi2-core beside the private session bus, as a screen reader's
# desktop has it; programs started from here on speak AT-SPI to it. Read what they say with
# "${accessible_tree[@]}" (accessible_tree.py).
start_accessibility_bus() {
    require_private_bus
    [[ ${DBUS_SESSION_BUS_ADDRESS:-} == unix:path=$work/* ]] || fail "no private session bus"
    # The launcher tells where it is on the session bus; its registry is started on that bus
    # when first asked for.
    /usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/launcher.out" 2>&1 &
    local launcher=$! child
    started+=($launcher)
    for _ in $(seq 100); do a11y_bus >/dev/null && break; sleep 0.05; done
    [[ $(a11y_bus) == unix:path=$work/* ]] || fail "no accessibility bus: $(cat "$work/launcher.out")"
    # The accessibility bus itself is the launcher's child; it ends before the launcher.
    for child in $(pgrep -P "$launcher"); do started+=($child); done
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
}
a11y_bus() {
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
        2>/dev/null | grep -o 'unix:path=[^,"]*'
}
# Debian's own Python, the one python3-pyatspi is installed for.
accessible_tree=(/usr/bin/python3 "$repo/tests/e2e/accessible_tree.py")
# Screen readers know the program by its application name, the one of its desktop entry.
accessible_app=io.github.orrimel.Zeravan

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

# The test's clock: the real one shifted by $clock_offset seconds, which set_clock moves while
# the programs run (libfaketime reads the shift from the file at every call). Steady time is
# left alone, as are the timers that run on it. Prefixed to a command, on_test_clock preloads
# the clock into it; env execs the command in its own place, so that $! is the command's own id
# and a stop signal or the cleanup's kill reaches it, not something standing between. File times
# stay real: a program that compares them with a time it stored would otherwise see every file
# changed whenever the clock moves (Wine then updates its whole prefix at each start).
faketime_library=/usr/lib/x86_64-linux-gnu/faketime/libfaketimeMT.so.1
test_clock_environment=(LD_PRELOAD=$faketime_library FAKETIME_TIMESTAMP_FILE="$work/clock"
    FAKETIME_NO_CACHE=1 FAKETIME_DONT_FAKE_MONOTONIC=1 NO_FAKE_STAT=1)
on_test_clock=(env "${test_clock_environment[@]}")

# Sets the test's clock to the real one shifted by $1 seconds; the programs see it at once.
# faketime reads "+90", or "-1380" (it takes "+-1380" for no shift at all).
set_clock() {
    clock_offset=$1
    if ((clock_offset >= 0)); then echo "+$clock_offset"; else echo "$clock_offset"; fi >"$work/clock.new"
    mv "$work/clock.new" "$work/clock"
}
set_clock 0

# Seconds to add to the real clock so that it reads $1 (HH:MM:SS) today, from now on.
offset_to() { echo $(($(date -d "today $1" +%s) - $(date +%s))); }

# Sets the test's clock to read $1 (HH:MM:SS) of today, or of $2 days on; it is then somewhere
# in that second, as far into it as the real clock is into its own.
set_clock_to() { set_clock $(($(offset_to "$1") + ${2:-0} * 86400)); }

# Milliseconds since midnight of a moment given in ms since 1970.
ms_of_day_at() {
    local moment=$1
    echo $((moment - $(date -d "$(date -d "@$((moment / 1000))" +%F)" +%s%3N)))
}

# Milliseconds since midnight on the test's clock (or the real one shifted by $1 seconds), now.
clock_ms_of_day() { ms_of_day_at $(($(date +%s%3N) + ${1:-$clock_offset} * 1000)); }

# Milliseconds of HH:MM:SS since midnight.
ms_of() { echo $((10#${1:0:2} * 3600000 + 10#${1:3:2} * 60000 + 10#${1:6:2} * 1000)); }

# Waits until the test's clock reads $1 ms of the day.
await_clock() { until (($(clock_ms_of_day) >= $1)); do sleep 0.05; done; }

# Milliseconds since midnight on the test's clock at which the fake $2 (logind's calls by
# default), started with --stamp, received the first call named $1.
ms_of_first_call() {
    local name=$1 log=${2:-$calls} stamp
    stamp=$(grep -m1 "^$name" "$log" | cut -f2)
    [ -n "$stamp" ] || fail "no $name call in $log"
    ms_of_day_at "$stamp"
}

# Starts the program on the test's clock.
start_zeravan() {
    require_private_bus
    "${on_test_clock[@]}" "$zeravan" >"$work/zeravan.out" 2>&1 &
    await_main_window
}

# The maker's site, for the program started by start_zeravan_on_site: its files in
# $site/zeravan/, served as https://zeravan.example/zeravan/ (on_site.sh, page_site.py) in
# namespaces of the program's own, so that nothing leaves the machine and nothing on it changes.
# The band's page waits until release_page; what the site sent is listed in $site/sent. Where
# this machine makes no user namespaces the test is skipped (status 77).
site=$work/site
have_user_namespaces() { unshare --user --map-root-user --net --mount true 2>/dev/null; }
make_site() {
    have_user_namespaces || {
        echo "SKIPPED: this machine makes no user namespaces, in which the site would run" >&2
        exit 77
    }
    rm -rf "$site"
    mkdir -p "$site/zeravan" "$site/certs"
    printf '127.0.0.1 localhost zeravan.example\n' >"$site/hosts"
    # Valid from two days ago, whatever day the test's clock is moved to.
    faketime -f -2d openssl req -x509 -newkey rsa:2048 -nodes -days 5 -subj /CN=zeravan.example \
        -addext subjectAltName=DNS:zeravan.example -keyout "$site/key.pem" \
        -out "$site/certs/zeravan.pem" 2>/dev/null
    ln -s zeravan.pem "$site/certs/$(openssl x509 -hash -noout -in "$site/certs/zeravan.pem").0"
}
release_page() { touch "$site/release"; }

# Starts the program on the test's clock, with the site of make_site as the maker's.
start_zeravan_on_site() {
    require_private_bus
    unshare --user --map-root-user --net --mount \
        "$repo/tests/e2e/on_site.sh" "$site" "${on_test_clock[@]}" "$zeravan" \
        >"$work/zeravan.out" 2>&1 &
    await_main_window
}

# Ends what was started since `mark=$(started_count)`, last first, so that the next row of a
# table starts afresh on the same display and bus.
started_count() { echo ${#started[@]}; }
stop_started_since() {
    local mark=$1
    while ((${#started[@]} > mark)); do
        end_started "${started[-1]}"
        wait "${started[-1]}" 2>/dev/null || true
        unset 'started[-1]'
    done
}

# The schedule the main window shows at first, 23:30 today: its countdown opens in 23:30:01 and
# the shutdown is asked for in 23:30:31 (in ms of the day).
trigger=$(ms_of 23:30:01)
shutdown_second=$(ms_of 23:30:31)

# Confirms the schedule shown ("确 定"): arming asks logind whether it may power off.
confirm_schedule() {
    click "$main_window" 324 76
    await grep -q '^CanPowerOff' "$calls" || fail "the click on 确 定 armed nothing"
}

# Waits up to $2 seconds (5) for the countdown and fails unless it opened in 23:30:01 of the
# test's clock (or the real one shifted by $1 seconds); sets dialog.
await_countdown_in_trigger_second() {
    local offset=${1:-$clock_offset} seconds=${2:-5} opened
    dialog=$(wait_for_window '^Orrimel$' "$seconds")
    opened=$(clock_ms_of_day "$offset")
    [ -n "$dialog" ] || fail "the countdown did not open"
    ((opened >= trigger && opened < trigger + 1300)) ||
        fail "the countdown opened at ${opened} ms of the day, not in 23:30:01"
    echo "countdown opened $((opened - trigger)) ms into 23:30:01"
}

# Fails unless call $1 reached $2 (logind's calls by default) in 23:30:31 of the test's clock,
# and only once by the end of that second.
await_request_in_shutdown_second() {
    local request=$1 log=${2:-$calls} requested
    await grep -q "^$request" "$log" || fail "no $request: $(cat "$log")"
    requested=$(ms_of_first_call "$request" "$log")
    ((requested >= shutdown_second && requested < shutdown_second + 1300)) ||
        fail "$request came at ${requested} ms of the day, not in 23:30:31"
    await_clock $((shutdown_second + 1300))
    [ "$(grep -c "^$request" "$log")" = 1 ] || fail "$request was asked again: $(cat "$log")"
    echo "$request arrived $((requested - shutdown_second)) ms into 23:30:31"
}

countdown_shown() { [ -n "$(find_windows --onlyvisible --name '^Orrimel$' 2>/dev/null || true)" ]; }

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
