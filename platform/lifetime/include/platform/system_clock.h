// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The system's wall and steady clocks, handed to the engine.
#pragma once

#include <ctime>

#include "engine/clock.h"

namespace zeravan::platform {

// What the wall clock of the system's time zone (TZ, daylight saving applied) reads at an instant.
engine::LocalDateTime localTimeAt(std::time_t instant);

// The local wall clock of the system (time zone and daylight saving applied).
class SystemClock final : public engine::Clock {
public:
    engine::LocalDateTime now() const override;
};

// The system's monotonic clock.
class SystemSteadyClock final : public engine::SteadyClock {
public:
    long long milliseconds() const override;
};

}  // namespace zeravan::platform
