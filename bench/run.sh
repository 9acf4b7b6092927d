#!/usr/bin/env bash
# bench/run.sh [build dir]: what build/zeravan costs to start and to keep running, next to a bare
# Qt window of the same size, on a virtual display with the fake logind on a private bus.
# Prints figures; it is no test and checks nothing.
build=${1:-build}
source "$(dirname "$0")/../tests/e2e/lib.sh" "$build/zeravan" "$build/fake_logind" "$build/shots"
runs=7
idle=60
ticks=$(getconf CLK_TCK)

# Milliseconds from start to the window mapped, the median of $runs starts. A tight poll: the
# 0.5 s steps of xdotool's --sync would hide the differences.
startup_ms() {
    local program=$1 title=$2 times=() begin pid
    for _ in $(seq "$runs"); do
        begin=$(date +%s%N)
        "$program" >/dev/null 2>&1 &
        pid=$!
        until xdotool search --onlyvisible --name "$title" >/dev/null 2>&1; do :; done
        times+=($((($(date +%s%N) - begin) / 1000000)))
        kill "$pid"
        wait "$pid" 2>/dev/null || true
    done
    printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p"
}

cpu_ticks() { sed 's/.*) //' "/proc/$1/stat" | awk '{print $12 + $13}'; }

switches() {
    cat /proc/"$1"/task/*/status | awk '/ctxt_switches/ {n += $2} END {print n}'
}

# Sets figures to start-up ms, resident kB, idle CPU % and wake-ups a second for one program,
# armed by clicking 确 定 (the bare window ignores the click).
measure() {
    local program=$1 title=$2 pid window cpu0 sw0
    local start
    start=$(startup_ms "$program" "$title")
    "$program" >/dev/null 2>&1 &
    pid=$!
    started+=($pid)
    window=$(wait_for_window "$title" 20)
    [ -n "$window" ] || fail "$program showed no window"
    sleep 10
    local rss
    rss=$(awk '/VmRSS/ {print $2}' "/proc/$pid/status")
    click "$window" 324 76
    sleep 1
    cpu0=$(cpu_ticks "$pid")
    sw0=$(switches "$pid")
    sleep "$idle"
    local cpu=$(($(cpu_ticks "$pid") - cpu0)) sw=$(($(switches "$pid") - sw0))
    kill "$pid"
    figures=("$start" "$rss" "$(awk -v c="$cpu" -v t="$ticks" -v s="$idle" \
        'BEGIN {printf "%.3f", 100 * c / t / s}')" "$(awk -v w="$sw" -v s="$idle" \
        'BEGIN {printf "%.1f", w / s}')")
}

start_display
start_fake_logind
[[ $DBUS_SYSTEM_BUS_ADDRESS == unix:path=$work/* ]] || fail "no private bus"
measure "$build/zeravan" '^ZeravanV8\.0$'
read -r z_start z_rss z_cpu z_wake <<<"${figures[*]}"
grep -q CanPowerOff "$calls" || fail "confirming did not arm the schedule"
measure "$build/bench_bare_window" '^BareWindow$'
read -r b_start b_rss b_cpu b_wake <<<"${figures[*]}"

ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2fx", a / b}'; }
echo "$(date -u +%F), $(nproc) CPUs, $(grep -m1 'model name' /proc/cpuinfo | sed 's/.*: //')"
printf '| %-28s | %9s | %11s | %5s |\n' "" zeravan "bare window" ratio
printf '| %-28s | %9s | %11s | %5s |\n' "start to window mapped (ms)" "$z_start" "$b_start" \
    "$(ratio "$z_start" "$b_start")"
printf '| %-28s | %9s | %11s | %5s |\n' "resident memory at 10 s (kB)" "$z_rss" "$b_rss" \
    "$(ratio "$z_rss" "$b_rss")"
printf '| %-28s | %9s | %11s | %5s |\n' "idle CPU over ${idle} s (% core)" "$z_cpu" "$b_cpu" ""
printf '| %-28s | %9s | %11s | %5s |\n' "wake-ups per second" "$z_wake" "$b_wake" ""
