#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# run.sh <target> <work dir> <seconds> <sources and -I flags...>: builds fuzz_<target>.cpp with
# clang's libFuzzer and sanitizers, then fuzzes from the committed seeds/<target>; any crash, trap
# or sanitizer report fails. Only the -I flags given reach the headers: the public ones.
set -euo pipefail
target=$1 work=$2 seconds=$3
shift 3
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$work/corpus_$target"
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    "$here/fuzz_$target.cpp" "$@" -o "$work/fuzz_$target"
# New inputs go to the build tree's corpus; the seeds are only read.
"$work/fuzz_$target" -max_total_time="$seconds" -timeout=5 -print_final_stats=1 \
    -artifact_prefix="$work/${target}_" "$work/corpus_$target" "$here/seeds/$target"
