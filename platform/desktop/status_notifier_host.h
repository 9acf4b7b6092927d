// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// Whether Qt will make its tray icons StatusNotifierItems, one backend per system.
#pragma once

namespace zeravan::platform {

// Qt makes its tray icons StatusNotifierItems when, as the first one is made, a host has
// registered with the watcher on the session bus; otherwise it embeds them (XEmbed), or uses the
// shell's tray on Windows. Asked the same way at the same moment, this gives the same answer.
bool statusNotifierHostRegistered();

}  // namespace zeravan::platform
