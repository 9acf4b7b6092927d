#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# The release's page painter under Wine, on its input and output as the program starts it: the
# Linux page_painter_check ($5) asks it for a page and its pictures and checks the answers.
# Wine's relay trace shows it confine itself, each step succeeding: a job with limits and
# desktop restrictions, low integrity, a restricted token on its thread.
source "$(dirname "$0")/lib.sh"
check=$5
start_display
new_prefix
unpack_release
confining='SetInformationJobObject;AssignProcessToJobObject;SetTokenInformation;CreateRestrictedToken;SetThreadToken'
run_wine reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /f /d "$confining" >"$work/reg.out" 2>&1 ||
    fail "could not set the relay filter: $(cat "$work/reg.out")"
stop_wine
painter=$work/painter
trace=$work/painter.trace
printf '#!/bin/sh\nWINEDEBUG=+relay exec wine "%s" 2>>"%s"\n' \
    "$(dirname "$zeravan_exe")/zeravan-page-painter.exe" "$trace" >"$painter"
chmod +x "$painter"
require_throwaway_prefix
QT_QPA_PLATFORM=offscreen "$check" "$painter" || fail "the Windows page painter answered wrong"
# Each with its class where it has one: the job's limits (9) and desktop restrictions (4), the
# token's integrity level (0x19).
for call in 'SetInformationJobObject\([0-9a-f]+,0*9,' 'SetInformationJobObject\([0-9a-f]+,0*4,' \
    'AssignProcessToJobObject\(' 'SetTokenInformation\([0-9a-f]+,0*19,' 'CreateRestrictedToken\(' \
    'SetThreadToken\('; do
    grep -aqE ":Call [A-Za-z0-9]+\.$call" "$trace" || fail "the painter did not call $call"
done
! grep -aE ":Ret  [A-Za-z0-9]+\.(${confining//;/|})\(\) retval=0+ " "$trace" ||
    fail "a step of the painter's confinement failed"
echo "the Windows page painter confined itself and painted the page and took the pictures it should"
