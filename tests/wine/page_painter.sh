#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# The release's page painter under Wine, on its input and output as the program starts it: the
# Linux page_painter_check ($5) asks it for a page and its pictures and checks the answers.
source "$(dirname "$0")/lib.sh"
check=$5
start_display
new_prefix
unpack_release
painter=$work/painter
printf '#!/bin/sh\nexec wine "%s"\n' "$(dirname "$zeravan_exe")/zeravan-page-painter.exe" >"$painter"
chmod +x "$painter"
require_throwaway_prefix
QT_QPA_PLATFORM=offscreen "$check" "$painter" || fail "the Windows page painter answered wrong"
echo "the Windows page painter painted the page and took the pictures it should"
