// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The power port of the system the program was built for.
#pragma once

#include <memory>

#include "platform/power_port.h"

namespace zeravan::platform {

// The power port of the system the program was built for; each power backend defines it.
std::unique_ptr<PowerPort> makeSystemPowerPort();

}  // namespace zeravan::platform
