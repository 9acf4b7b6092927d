// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "platform/power_logind.h"
#include "platform/power_session_manager.h"
#include "platform/system_power_port.h"

namespace zeravan::platform {

// The desktop's session manager first, so that programs may save their work; logind where the
// desktop has none.
std::unique_ptr<PowerPort> makeSystemPowerPort() {
    return std::make_unique<SessionManagerPowerPort>(
        BusLink::session(), std::make_unique<LogindPowerPort>(BusLink::system()),
        qEnvironmentVariable("XDG_CURRENT_DESKTOP"));
}

}  // namespace zeravan::platform
