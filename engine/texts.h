#pragma once

#include <string>

#include "engine/calendar.h"

namespace zeravan::engine {

// The date text: the short date form "yyyy/M/d" ("2026/3/5"), the one form used everywhere.
std::string dateText(const CivilDate& date);

// The time text: 24-hour clock, hour without a leading zero, "H:mm:ss" ("2:33:01", "0:00:00").
std::string timeText(const TimeOfDay& time);

// The now string: date text, one blank, time text.
std::string nowString(const LocalDateTime& moment);

// "星期日" for Sunday ... "星期六" for Saturday.
std::string weekdayName(const CivilDate& date);

}  // namespace zeravan::engine
