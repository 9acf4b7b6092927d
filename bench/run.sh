#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# bench/run.sh [build dir]: what build/zeravan costs to start and to keep running, next to a bare
# Qt window of the same size, the same with one caption in the program's Chinese face, and that
# caption showing the time from two 100 ms timers, as the program ticks; on a virtual display
# with the fake logind on a private bus.
# Prints figures; it is no test and checks nothing.
build=${1:-build}
[ -x "$build/bench_bare_window" ] || {
    echo "bench/run.sh: $build has no yardstick; configure it with -DZERAVAN_BUILD_BENCH=ON" >&2
    exit 2
}
source "$(dirname "$0")/../tests/e2e/lib.sh" "$build/zeravan" \
    "$(dirname "$0")/../tests/support/fake_logind.py" "$build/shots"
runs=11
idle=60

# The four programs measured, by key. `launch <key> &` starts one; it replaces the background
# shell, so that $! is the program itself.
keys=(zeravan bare chinese ticking)
launch() {
    case $1 in
    zeravan) exec "$build/zeravan" ;;
    bare) exec "$build/bench_bare_window" ;;
    *) exec "$build/bench_bare_window" "--$1" ;;
    esac
}
title_of() { if [ "$1" = zeravan ]; then echo '^ZeravanV8\.0$'; else echo '^BareWindow$'; fi; }

# Milliseconds from start to the window mapped, the median of $runs starts of each program into
# start_ms[key]. The programs take turns, start by start, so that what else the machine is doing
# weighs on all of them alike. Polled every 10 ms: the 0.5 s steps of xdotool's --sync would
# hide the differences.
declare -A start_ms
startup_medians() {
    local key run
    declare -A times
    for ((run = 0; run < runs; run++)); do
        for key in "${keys[@]}"; do times[$key]+="$(start_once "$key") "; done
    done
    for key in "${keys[@]}"; do
        start_ms[$key]=$(printf '%s\n' ${times[$key]} | sort -n | sed -n "$(((runs + 1) / 2))p")
    done
}

# Milliseconds of one start of <key>.
start_once() {
    local key=$1 begin pid
    begin=$(date +%s%N)
    launch "$key" >"$work/start.out" 2>&1 &
    pid=$!
    until xdotool search --onlyvisible --name "$(title_of "$key")" >/dev/null 2>&1; do
        kill -0 "$pid" 2>/dev/null || fail "$key ended before its window: $(cat "$work/start.out")"
        (($(date +%s%N) - begin < 20000000000)) || fail "$key showed no window in 20 s"
        sleep 0.01
    done
    echo $((($(date +%s%N) - begin) / 1000000))
    kill "$pid"
    wait "$pid" 2>/dev/null || true
}

# CPU time of all of a process's threads in ns, as the scheduler counts it: exact, where the
# clock ticks of /proc/PID/stat would round a figure this small to whole 10 ms steps.
cpu_ns() { cat /proc/"$1"/task/*/schedstat | awk '{n += $1} END {printf "%d", n}'; }

switches() {
    cat /proc/"$1"/task/*/status | awk '/ctxt_switches/ {n += $2} END {print n}'
}

# measure <key>: sets figures to start-up ms, resident kB, private dirty
# kB (the memory that is the process's alone: its heap, stacks and written pages), idle CPU % and
# wake-ups a second for one program, armed by clicking 确 定 (a bare window ignores the click).
measure() {
    local key=$1 pid window cpu0 sw0
    launch "$key" >/dev/null 2>&1 &
    pid=$!
    started+=($pid)
    window=$(wait_for_window "$(title_of "$key")" 20)
    [ -n "$window" ] || fail "$key showed no window"
    sleep 10
    local rss dirty
    rss=$(awk '/VmRSS/ {print $2}' "/proc/$pid/status")
    dirty=$(awk '/^Private_Dirty/ {print $2}' "/proc/$pid/smaps_rollup")
    click "$window" 324 76
    sleep 1
    cpu0=$(cpu_ns "$pid")
    sw0=$(switches "$pid")
    sleep "$idle"
    local cpu=$(($(cpu_ns "$pid") - cpu0)) sw=$(($(switches "$pid") - sw0))
    kill "$pid"
    figures=("${start_ms[$key]}" "$rss" "$dirty" "$(awk -v c="$cpu" -v s="$idle" \
        'BEGIN {printf "%.3f", 100 * c / 1e9 / s}')" "$(awk -v w="$sw" -v s="$idle" \
        'BEGIN {printf "%.1f", w / s}')")
}

start_display
start_fake_logind
require_private_bus
startup_medians
measure zeravan
read -r z_start z_rss z_dirty z_cpu z_wake <<<"${figures[*]}"
grep -q CanPowerOff "$calls" || fail "confirming did not arm the schedule"
measure bare
read -r b_start b_rss b_dirty b_cpu b_wake <<<"${figures[*]}"
measure chinese
read -r c_start c_rss c_dirty c_cpu c_wake <<<"${figures[*]}"
measure ticking
read -r t_start t_rss t_dirty t_cpu t_wake <<<"${figures[*]}"

ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2fx", a / b}'; }
row() { printf '| %-33s | %8s | %11s | %13s | %13s | %7s | %10s |\n' "$@"; }
echo "$(date -u +%F), $(nproc) CPUs, $(grep -m1 'model name' /proc/cpuinfo | sed 's/.*: //')"
row "" zeravan "bare window" "bare, Chinese" "bare, ticking" "vs bare" "vs ticking"
row "---------------------------------" "--------" "-----------" "-------------" "-------------" \
    "-------" "----------"
row "start to window mapped (ms)" "$z_start" "$b_start" "$c_start" "$t_start" \
    "$(ratio "$z_start" "$b_start")" "$(ratio "$z_start" "$t_start")"
row "resident memory at 10 s (kB)" "$z_rss" "$b_rss" "$c_rss" "$t_rss" \
    "$(ratio "$z_rss" "$b_rss")" "$(ratio "$z_rss" "$t_rss")"
row "private dirty memory at 10 s (kB)" "$z_dirty" "$b_dirty" "$c_dirty" "$t_dirty" \
    "$(ratio "$z_dirty" "$b_dirty")" "$(ratio "$z_dirty" "$t_dirty")"
row "idle CPU, armed, 60 s (% core)" "$z_cpu" "$b_cpu" "$c_cpu" "$t_cpu" "" ""
row "wake-ups per second" "$z_wake" "$b_wake" "$c_wake" "$t_wake" "" ""
