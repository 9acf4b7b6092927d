#include "engine/texts.h"

#include <array>
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

std::string weekdayName(const CivilDate& date) {
    static const std::array<const char*, 7> names = {"星期日", "星期一", "星期二", "星期三",
                                                     "星期四", "星期五", "星期六"};
    return names[static_cast<std::size_t>(weekdayNumber(date) - 1)];
}

}  // namespace zeravan::engine
