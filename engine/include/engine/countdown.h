// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The countdown's count: where it opens, how it goes on, and what it shows once missed.
#pragma once

#include <string>
#include <string_view>

namespace zeravan::engine {

inline constexpr int countdownStart = 31;

// What the countdown shows in place of its count once the shutdown second went by unasked.
inline constexpr std::string_view missedCountdownText = "已错过关机时间，明天照常执行";
inline constexpr std::string_view missedCountdownTextToday = "已错过关机时间，今天照常执行";

// The count after one more second: one less, on below zero ("0", "-1", "-2" ...). A text that is
// not a whole number counts as zero.
std::string nextCount(std::string_view count);

// The count a second tick shows: one less than `count`, or less still when the steady time since
// the countdown opened at `openingCount` says more seconds went by (the program was held up and
// the ticks in between never came).
std::string countAfterTick(std::string_view count, int openingCount, long long elapsedMs);

// The count a countdown starts from when it opens at `now` (a now string) for the shutdown
// second `shutdown`: 31 in the trigger second, thirty seconds before the shutdown second, and
// one less for each second it opens late. 31 when either text is not a now string.
int openingCount(std::string_view now, std::string_view shutdown);

}  // namespace zeravan::engine
