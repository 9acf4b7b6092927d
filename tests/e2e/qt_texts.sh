#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# Qt's own texts are Chinese: the context menu of the hour's edit field, opened with a real
# right click, shows 撤销, 重做, 剪切, 复制, 粘贴 … (see the screenshot).
source "$(dirname "$0")/lib.sh"
start_display
start_fake_logind
start_window_manager
start_zeravan 0  # in the locale the test runs in (C.UTF-8), not a Chinese one

menus() { find_windows --onlyvisible --classname zeravan 2>/dev/null | wc -l; }
before=$(menus)
xdotool mousemove --window "$main_window" 112 76 click 3  # the hour's edit field
for _ in $(seq 60); do (($(menus) > before)) && break; sleep 0.05; done
(($(menus) > before)) || fail "the right button showed no context menu"
sleep 0.3
screenshot context_menu
xdotool key Escape
echo "context menu shown; screenshot: $shots/context_menu.png"
