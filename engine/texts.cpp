// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "engine/texts.h"

#include <array>
#include <charconv>
#include <chrono>
#include <cstdio>

namespace zeravan::engine {

std::string dateText(const CivilDate& date) {
    return std::to_string(date.year) + '/' + std::to_string(date.month) + '/' +
           std::to_string(date.day);
}

std::string timeText(const TimeOfDay& time) {
    char text[16];
    std::snprintf(text, sizeof text, "%d:%02d:%02d", time.hour, time.minute, time.second);
    return text;
}

std::string nowString(const LocalDateTime& moment) {
    return dateText(moment.date) + ' ' + timeText(moment.time);
}

std::optional<LocalDateTime> parseNowString(std::string_view text) {
    int fields[6] = {};
    const char* at = text.data();
    const char* const end = text.data() + text.size();
    for (int& field : fields) {
        const auto [next, error] = std::from_chars(at, end, field);
        if (error != std::errc{}) return std::nullopt;
        at = next == end ? end : next + 1;  // over the separator, checked below
    }
    const LocalDateTime moment{{fields[0], fields[1], fields[2]},
                               {fields[3], fields[4], fields[5]}};
    // Only the exact form written by nowString, so that equal moments have equal texts.
    const std::chrono::year_month_day date{std::chrono::year{fields[0]},
                                           std::chrono::month{static_cast<unsigned>(fields[1])},
                                           std::chrono::day{static_cast<unsigned>(fields[2])}};
    if (!date.ok() || moment.time.hour > 23 || moment.time.minute > 59 || moment.time.second > 59 ||
        nowString(moment) != text) {
        return std::nullopt;
    }
    return moment;
}

std::string weekdayName(const CivilDate& date) {
    static const std::array<const char*, 7> names = {"星期日", "星期一", "星期二", "星期三",
                                                     "星期四", "星期五", "星期六"};
    return names[static_cast<std::size_t>(weekdayNumber(date) - 1)];
}

}  // namespace zeravan::engine
