// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "engine/countdown.h"

#include <charconv>

#include "engine/texts.h"

namespace zeravan::engine {

namespace {

// Seconds from the trigger second to the shutdown second.
constexpr int countdownSeconds = 30;

}  // namespace

std::string nextCount(std::string_view count) {
    int value = 0;
    const auto [end, error] = std::from_chars(count.data(), count.data() + count.size(), value);
    if (error != std::errc{} || end != count.data() + count.size()) value = 0;
    return std::to_string(value - 1);
}

std::string countAfterTick(std::string_view count, int openingCount, long long elapsedMs) {
    const std::string next = nextCount(count);
    const long long byTime = openingCount - (elapsedMs + 500) / 1000;
    return byTime < std::stoll(next) ? std::to_string(byTime) : next;
}

int openingCount(std::string_view now, std::string_view shutdown) {
    const auto nowMoment = parseNowString(now);
    const auto shutdownMoment = parseNowString(shutdown);
    if (!nowMoment || !shutdownMoment) return countdownStart;
    const long long late =
        countdownSeconds - (wallSeconds(*shutdownMoment) - wallSeconds(*nowMoment));
    return countdownStart - static_cast<int>(late);
}

}  // namespace zeravan::engine
