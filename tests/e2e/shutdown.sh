#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# One scheduled shutdown end to end, on a shifted clock and the fake logind: confirm 23:30,
# the countdown opens in 23:30:01 and PowerOff reaches logind in 23:30:31. With "cancel", the
# cancel button is pressed instead and no request is made. With "refused", logind says no: one
# request only, and the countdown stops to say so. With "in_progress", logind answers every
# request after the first with OperationInProgress: one request only, and no refusal is shown.
# With "slow", logind takes four seconds to say yes to CanPowerOff: the schedule stays armed.
# With "session", an XFCE session manager is on the session bus and gets the one request instead
# of logind. With "unreachable", logind is not on the bus, and with "silent" it never answers:
# either way the schedule is refused (the silent one after the ten seconds the program waits)
# and no countdown opens.
source "$(dirname "$0")/lib.sh"
mode=${4:-shutdown}
start_display
case $mode in
    refused) start_fake_logind --stamp --refuse=org.freedesktop.DBus.Error.AccessDenied ;;
    in_progress) start_fake_logind --stamp --operation-in-progress ;;
    unreachable) start_fake_logind --stamp --unreachable ;;
    silent) start_fake_logind --stamp --silent ;;
    slow) start_fake_logind --stamp --permission-delay-ms=4000 ;;
    session)
        start_fake_logind --stamp
        start_fake_session_manager xfce --stamp
        export XDG_CURRENT_DESKTOP=XFCE
        ;;
    *) start_fake_logind --stamp ;;
esac
if [ "$mode" = silent ]; then offset=$(offset_to 23:29:40); else offset=$(offset_to 23:29:50); fi
start_zeravan "$offset"

click "$main_window" 324 76  # "确 定"
if [ "$mode" = unreachable ] || [ "$mode" = silent ]; then
    if [ "$mode" = silent ]; then sleep 11; else sleep 1; fi
    screenshot "arming_$mode"
    [ -z "$(wait_for_window '^Orrimel$' 15)" ] || fail "a refused schedule opened the countdown"
    ! grep -q '^PowerOff' "$calls" || fail "a refused schedule asked for a shutdown"
    echo "$mode: no countdown opened; calls: $(cut -f1 "$calls" | tr '\n' ' ')"
    exit 0
fi
for _ in $(seq 40); do grep -q CanPowerOff "$calls" && break; sleep 0.05; done
grep -q CanPowerOff "$calls" || fail "confirming did not ask whether a shutdown is allowed"

await_countdown_in_trigger_second "$offset" 20
sleep 1.5
screenshot "countdown_$mode"

if [ "$mode" = cancel ]; then
    click "$dialog" 136 72  # "取 消 关 机"
    sleep $((((trigger + 33000) - $(shifted_ms_of_day "$offset")) / 1000))
    ! grep -q '^PowerOff' "$calls" || fail "a cancelled countdown asked for a shutdown"
    [ -z "$(find_windows --onlyvisible --name '^Orrimel$' || true)" ] || fail "dialog still open"
    screenshot cancelled
    echo "cancelled: no request reached logind ($(cut -f1 "$calls" | tr '\n' ' '))"
    exit 0
fi

request='PowerOff true'
if [ "$mode" = session ]; then
    logind_calls=$calls
    calls=$session_calls
    request='org.xfce.SessionManager Shutdown true'
fi
for _ in $(seq 400); do grep -q "^$request" "$calls" && break; sleep 0.1; done
grep -q "^$request" "$calls" || fail "no $request: $(cat "$calls")"
requested=$(shifted_ms_of_first_call "$offset" "$request")
shutdown_second=$(((23 * 3600 + 30 * 60 + 31) * 1000))
((requested >= shutdown_second && requested < shutdown_second + 1300)) ||
    fail "$request came at ${requested} ms of the day, not in 23:30:31"
sleep 1.5
if [ "$mode" = session ]; then
    [ "$(grep -c . "$calls")" = 1 ] || fail "the session was asked more than once: $(cat "$calls")"
    ! grep -q '^PowerOff' "$logind_calls" || fail "logind was asked too: $(cat "$logind_calls")"
    screenshot countdown_session
fi
if [ "$mode" = in_progress ]; then
    [ "$(grep -c '^PowerOff' "$calls")" = 1 ] || fail "an accepted shutdown was asked again"
    [ -n "$(find_windows --onlyvisible --name '^Orrimel$' || true)" ] || fail "dialog gone"
    screenshot countdown_in_progress
fi
if [ "$mode" = refused ]; then
    [ "$(grep -c '^PowerOff' "$calls")" = 1 ] || fail "a refused shutdown was asked again"
    [ -n "$(find_windows --onlyvisible --name '^Orrimel$' || true)" ] || fail "dialog gone"
    screenshot countdown_refused
fi
echo "$request arrived $((requested - shutdown_second)) ms into 23:30:31; calls: $(cut -f1 "$calls" | tr '\n' ' ')"
