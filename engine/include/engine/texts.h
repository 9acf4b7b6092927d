// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "engine/calendar.h"

namespace zeravan::engine {

// The date text: the short date form "yyyy/M/d" ("2026/3/5"), the one form used everywhere.
std::string dateText(const CivilDate& date);

// The time text: 24-hour clock, hour without a leading zero, "H:mm:ss" ("2:33:01", "0:00:00").
std::string timeText(const TimeOfDay& time);

// The now string: date text, one blank, time text.
std::string nowString(const LocalDateTime& moment);

// The moment a now string names, if the text is one; any other form gives nothing.
std::optional<LocalDateTime> parseNowString(std::string_view text);

// "星期日" for Sunday ... "星期六" for Saturday.
std::string weekdayName(const CivilDate& date);

}  // namespace zeravan::engine
