// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "status_notifier_host.h"

namespace zeravan::platform {

// Windows has only the shell's own notification area.
bool statusNotifierHostRegistered() {
    return false;
}

}  // namespace zeravan::platform
