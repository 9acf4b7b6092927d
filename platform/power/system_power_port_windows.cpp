// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "platform/system_power_port.h"
#include "power_windows.h"

namespace zeravan::platform {

std::unique_ptr<PowerPort> makeSystemPowerPort() {
    return std::make_unique<WindowsPowerPort>();
}

}  // namespace zeravan::platform
