#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# bench/simulated_year.sh [build dir]: resident memory of the simulated year (every midnight of
# 2028 with schedules on the way, the real handlers on a fake clock), read at each month end.
# Prints figures; the test itself asserts only behaviour.
set -euo pipefail
build=${1:-build}
output=$(QT_QPA_PLATFORM=offscreen "$build/test_simulated_days" wholeYear 2>/dev/null)
grep -q '^PASS   : SimulatedDaysTest::wholeYear()' <<<"$output" || {
    echo "the simulated year failed:" >&2
    echo "$output" >&2
    exit 1
}
sed -n 's/^QINFO  : SimulatedDaysTest::wholeYear() //p' <<<"$output"
# From the first month end on: before it the main window had not been loaded yet.
first=$(grep -m1 'resident memory after' <<<"$output" | grep -o '[0-9]* kB' | cut -d' ' -f1)
last=$(grep 'resident memory after' <<<"$output" | tail -n1 | grep -o '[0-9]* kB' | cut -d' ' -f1)
echo "growth from the first month end to the last: $((last - first)) kB"
