// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The clocks every time-driven rule reads: the wall clock and the steady clock.
#pragma once

#include "engine/calendar.h"

namespace zeravan::engine {

// Where every time-driven rule reads the time: the system clock in the program, a fake in tests.
class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalDateTime now() const = 0;
};

// Time that only runs on, whatever the wall clock does: what counts elapsed seconds.
class SteadyClock {
public:
    virtual ~SteadyClock() = default;
    virtual long long milliseconds() const = 0;
};

}  // namespace zeravan::engine
