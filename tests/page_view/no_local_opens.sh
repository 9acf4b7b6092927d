#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# no_local_opens.sh <test_page_view>: runs the band's pages that name local files under strace
# and fails if the process opened any of them, or /dev/zero, for reading. The test's own writes
# of the bait files and its probe of the pipe open them write-only.
set -euo pipefail
log=$(mktemp)
trap 'rm -f "$log"' EXIT
rows=("file address" "absolute path" "relative path" "qrc" "background pictures" "style sheets"
    "big data address" "dev zero" "named pipe" "svg naming a local picture" "svg naming a named pipe")
status=0
strace -f -qq -e trace=open,openat,openat2 -o "$log" "$1" "${rows[@]/#/hostilePages:}" || status=$?
opened=$(grep -E '"([^"]*/)?(zeravan-bait-[^"/]*|bait\.(png|css|pipe)|dev/zero)"' "$log" |
    grep -Ev 'O_WRONLY|O_DIRECTORY' || true)
if [ -n "$opened" ]; then
    printf 'opened for reading:\n%s\n' "$opened"
    exit 1
fi
[ "$status" -eq 0 ] || { echo "the pages' test failed with status $status"; exit "$status"; }
echo "nothing local opened ($(wc -l <"$log") opens traced)"
