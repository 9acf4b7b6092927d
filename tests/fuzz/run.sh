#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# run.sh <work dir> <seconds> <sources...>: builds the fuzz target with clang's libFuzzer and
# sanitizers, then fuzzes from the committed seeds; any crash, trap or sanitizer report fails.
set -euo pipefail
work=$1 seconds=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$work/corpus"
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    -I"$here/../.." "$here/fuzz_choices.cpp" "$@" -o "$work/fuzz_choices"
# New inputs go to the build tree's corpus; the seeds are only read.
"$work/fuzz_choices" -max_total_time="$seconds" -timeout=5 -print_final_stats=1 \
    -artifact_prefix="$work/" "$work/corpus" "$here/seeds"
