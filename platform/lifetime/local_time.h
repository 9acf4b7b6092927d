// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The local wall-clock time at an instant, one backend per system.
#pragma once

#include <ctime>

namespace zeravan::platform {

// The broken-down wall clock of the system's time zone (daylight saving applied) at an
// instant. Thread-safe; each system has its own call for it, so one file per system.
std::tm localCalendarTime(std::time_t instant);

}  // namespace zeravan::platform
