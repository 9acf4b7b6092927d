#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# load.sh <zeravan> <fake_logind> <shots> [runs] [at once]: the scheduled shutdown of countdown.sh
# run again and again, several at once, each on its own display, bus, clock and fake logind,
# while stress-ng keeps both cores busy. Every run must open the countdown in 23:30:01 and have
# PowerOff reach logind in 23:30:31 by its own clock, moved on across the waits; prints the worst
# lateness seen.
set -euo pipefail
zeravan=$1 fake_logind=$2 shots=$3 runs=${4:-20} at_once=${5:-5}
here=$(dirname "$0")
work=$(mktemp -d)
stress-ng --cpu "$(nproc)" --cpu-method matrixprod --timeout 0 --quiet &
stress=$!
trap 'kill $stress 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT
sleep 1

for ((first = 1; first <= runs; first += at_once)); do
    pids=()
    for ((run = first; run < first + at_once && run <= runs; run++)); do
        bash "$here/countdown.sh" "$zeravan" "$fake_logind" "$shots/load/run$run" openbox shutdown \
            >"$work/run$run.out" 2>&1 &
        pids+=($!)
    done
    for pid in "${pids[@]}"; do wait "$pid" || true; done
done

failed=0 worst_open=0 worst_request=0
for ((run = 1; run <= runs; run++)); do
    out=$work/run$run.out
    opened=$(sed -n 's/^countdown opened \([0-9]*\) ms into 23:30:01$/\1/p' "$out")
    requested=$(sed -n 's/^PowerOff true arrived \([0-9]*\) ms into 23:30:31.*/\1/p' "$out")
    if [ -z "$opened" ] || [ -z "$requested" ] || grep -q '^FAIL' "$out"; then
        echo "run $run failed:"
        cat "$out"
        failed=$((failed + 1))
        continue
    fi
    echo "run $run: countdown seen $opened ms into 23:30:01, PowerOff $requested ms into 23:30:31"
    ((opened > worst_open)) && worst_open=$opened
    ((requested > worst_request)) && worst_request=$requested
done
echo "under load: $((runs - failed)) of $runs runs in their seconds; worst: countdown seen" \
    "$worst_open ms into its second, PowerOff $worst_request ms into its second"
((failed == 0))
