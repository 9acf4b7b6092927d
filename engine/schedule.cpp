// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "engine/schedule.h"

#include "engine/texts.h"

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

ChosenDay::Reading ChosenDay::read(const CivilDate& today, bool choiceIsFirstItem) const {
    if (choiceIsFirstItem) return {today};
    // A choice never seen being made counts as made today.
    const CivilDate target = addDays(madeOn_.value_or(today), 1);
    if (today >= target) return {today, true};
    return {target};
}

bool comesLaterToday(std::string_view now, std::string_view scheduleString) {
    const auto nowMoment = parseNowString(now);
    const auto next = parseNowString(scheduleString);
    return nowMoment && next && next->date == nowMoment->date &&
           wallSeconds(*next) > wallSeconds(*nowMoment);
}

std::string_view missedStatusFor(std::string_view now, std::string_view nextTrigger) {
    return comesLaterToday(now, nextTrigger) ? missedStatusToday : missedStatus;
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
