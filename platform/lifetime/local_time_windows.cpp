// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "local_time.h"

namespace zeravan::platform {

std::tm localCalendarTime(std::time_t instant) {
    std::tm local{};
    localtime_s(&local, &instant);
    return local;
}

}  // namespace zeravan::platform
