// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#pragma once

#include <ctime>

#include "engine/calendar.h"

namespace zeravan::engine {

// Where every time-driven rule reads the time: the system clock in the program, a fake in tests.
class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalDateTime now() const = 0;
};

// What the wall clock of the system's time zone (TZ, daylight saving applied) reads at an instant.
LocalDateTime localTimeAt(std::time_t instant);

// The local wall clock of the system (time zone and daylight saving applied).
class SystemClock final : public Clock {
public:
    LocalDateTime now() const override;
};

// Time that only runs on, whatever the wall clock does: what counts elapsed seconds.
class SteadyClock {
public:
    virtual ~SteadyClock() = default;
    virtual long long milliseconds() const = 0;
};

class SystemSteadyClock final : public SteadyClock {
public:
    long long milliseconds() const override;
};

}  // namespace zeravan::engine
