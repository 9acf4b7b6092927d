// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "engine/schedule.h"

namespace zeravan::engine {

namespace {

std::string scheduleString(std::string_view date, std::string_view hour, std::string_view minute,
                           std::string_view secondSuffix) {
    std::string text;
    text.reserve(date.size() + hour.size() + minute.size() + secondSuffix.size() + 2);
    text.append(date).append(" ").append(hour).append(":").append(minute).append(secondSuffix);
    return text;
}

}  // namespace

bool isArmed(std::string_view confirmButtonCaption) {
    return confirmButtonCaption == armedCaption;
}

CivilDate targetDate(const CivilDate& today, std::string_view dayChoice,
                     std::string_view firstDayItem) {
    return dayChoice == firstDayItem ? today : addDays(today, 1);
}

bool isDayResetSecond(std::string_view timeText) {
    return timeText == dayResetTime;
}

std::string triggerString(std::string_view targetDateText, std::string_view hour,
                          std::string_view minute) {
    return scheduleString(targetDateText, hour, minute, ":01");
}

std::string shutdownString(std::string_view targetDateText, std::string_view hour,
                           std::string_view minute) {
    return scheduleString(targetDateText, hour, minute, ":31");
}

}  // namespace zeravan::engine
