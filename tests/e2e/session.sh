#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# Under an X session manager (xsm, which speaks the same protocol as those of XFCE, MATE and
# LXQt), a checkpoint saves the session; the program is not in it, so the next login does not
# start it again without its schedule.
source "$(dirname "$0")/lib.sh"
start_display
start_fake_logind
echo "$zeravan" >"$HOME/.xsmstartup"
xsm >"$work/xsm.log" 2>&1 &
started+=($!)
session_manager=$!
main_window=$(wait_for_window '^ZeravanV8\.0$' 20)
[ -n "$main_window" ] || fail "xsm did not start the program: $(cat "$work/xsm.log")"
started+=($(pgrep -f "^$zeravan" | head -n1))
# SIGUSR1: a checkpoint without interaction, which writes the session anew.
sleep 1
rm -f "$HOME/.XSM-Default"
kill -USR1 "$session_manager"
await_within 20 test -s "$HOME/.XSM-Default" || fail "no session saved: $(cat "$work/xsm.log")"
sleep 1
grep -q 'Qt: Session management error' "$work/xsm.log" && fail "not a session client: $(cat "$work/xsm.log")"
! grep -qa zeravan "$HOME/.XSM-Default" || fail "saved in the session: $(cat -v "$HOME/.XSM-Default")"
echo "checkpoint saved; the session holds no restart of the program"
