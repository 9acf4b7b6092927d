// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The module-level state the forms share.
#pragma once

#include "platform/notify_icon_data.h"

namespace zeravan {

// Module-level state shared by the forms: the tray icon record, blank from program start and
// never cleared.
struct Module1 {
    platform::NotifyIconData TrayIconData;
};

}  // namespace zeravan
