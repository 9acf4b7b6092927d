// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "platform/system_clock.h"

#include <chrono>

#include "local_time.h"

namespace zeravan::platform {

engine::LocalDateTime localTimeAt(std::time_t instant) {
    const std::tm local = localCalendarTime(instant);
    return {{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday},
            {local.tm_hour, local.tm_min, local.tm_sec}};
}

engine::LocalDateTime SystemClock::now() const {
    return localTimeAt(std::time(nullptr));
}

long long SystemSteadyClock::milliseconds() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace zeravan::platform
