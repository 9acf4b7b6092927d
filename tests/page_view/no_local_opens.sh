#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# no_local_opens.sh <test_page_view>: runs the band's pages that name local files under strace
# and fails if the process opened any of them, or /dev/zero, for reading. The test's own writes
# of the bait files and its probe of the pipe open them write-only. Then kills the test while a
# painter of its runs, stopped, and fails if the painter outlives it.
set -euo pipefail
log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
strace -f -qq -e trace=open,openat,openat2 -o "$log" "$1" pagesNamingLocalFiles || status=$?
opened=$(grep -E '"([^"]*/)?(zeravan-bait-[^"/]*|bait\.(png|css|pipe)|dev/zero)"' "$log" |
    grep -Ev 'O_WRONLY|O_DIRECTORY' || true)
if [ -n "$opened" ]; then
    printf 'opened for reading:\n%s\n' "$opened"
    exit 1
fi
[ "$status" -eq 0 ] || { echo "the pages' test failed with status $status"; exit "$status"; }
echo "nothing local opened ($(wc -l <"$log") opens traced)"

painters_of() {
    local child
    for child in $(cat /proc/"$1"/task/*/children 2>/dev/null); do
        [[ $(cat /proc/"$child"/comm 2>/dev/null) == zeravan-page-p* ]] && echo "$child"
        painters_of "$child"
    done
}
"$1" "hostilePictures:painter walled in" >/dev/null 2>&1 &
window=$!
# A painter found may end before it is stopped (those of the test's start do): the ones stopped
# are those still there.
stopped_of() {
    local painter
    for painter in $1; do
        [ "$(awk '/^State:/ { print $2 }' /proc/"$painter"/status 2>/dev/null)" = T ] &&
            echo "$painter"
    done
    return 0
}
painters=
for _ in $(seq 300); do
    candidates=$(painters_of "$window")
    if [ -n "$candidates" ]; then
        kill -STOP $candidates 2>/dev/null || true
        painters=$(echo $(stopped_of "$candidates"))
        [ -z "$painters" ] || break
    fi
    sleep 0.02
done
[ -n "$painters" ] || { echo "the window started no painter"; exit 1; }
kill -KILL "$window"
wait "$window" 2>/dev/null || true
sleep 1
left=$(for painter in $painters; do
    state=$(awk '/^State:/ { print $2 }' /proc/"$painter"/status 2>/dev/null || true)
    [ -z "$state" ] || [ "$state" = Z ] || echo "$painter"
done)
if [ -n "$left" ]; then
    kill -KILL $left
    echo "painters $left outlived the window"
    exit 1
fi
echo "the painters $(echo $painters) ended with the window"
