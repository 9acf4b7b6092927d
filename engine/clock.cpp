// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "engine/clock.h"

#include <chrono>
#include <ctime>

#include "platform/local_time.h"

namespace zeravan::engine {

LocalDateTime localTimeAt(std::time_t instant) {
    const std::tm local = platform::localCalendarTime(instant);
    return {{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday},
            {local.tm_hour, local.tm_min, local.tm_sec}};
}

LocalDateTime SystemClock::now() const {
    return localTimeAt(std::time(nullptr));
}

long long SystemSteadyClock::milliseconds() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace zeravan::engine
