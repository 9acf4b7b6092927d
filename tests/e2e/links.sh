#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# Clicking the two link captions hands each address, as one argument, to xdg-open: a stand-in
# placed first on PATH records what it was given. The panel's page is not reachable here, and
# the window and its clock work all the same.
source "$(dirname "$0")/lib.sh"
mkdir -p "$work/bin"
cat >"$work/bin/xdg-open" <<STANDIN
#!/bin/sh
printf '%s|%s\n' "\$#" "\$*" >>"$work/opened"
STANDIN
chmod +x "$work/bin/xdg-open"
export PATH="$work/bin:$PATH"
start_display
start_fake_logind
start_zeravan

click "$main_window" 222 157  # Label15, the maker's caption
click "$main_window" 24 118   # Label16, "访问  官网"
click "$main_window" 24 118
for _ in $(seq 100); do [ "$(wc -l <"$work/opened" 2>/dev/null || echo 0)" -ge 3 ] && break; sleep 0.05; done
expected=$'1|https://zeravan.example/\n1|https://zeravan.example/zeravan/\n1|https://zeravan.example/zeravan/'
[ "$(cat "$work/opened" 2>/dev/null)" = "$expected" ] ||
    fail "xdg-open was given: $(cat "$work/opened" 2>/dev/null)"
kill -0 "$zeravan_pid" || fail "the program ended"
echo "links: each click handed its address to xdg-open as one argument"
