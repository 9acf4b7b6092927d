// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "engine/choice_check.h"

#include <optional>

namespace zeravan::engine {

namespace {

// Blanks a user may leave around a choice; the ideographic space comes with Chinese input.
constexpr std::string_view ideographicSpace = "\u3000";

std::string_view trimBlanks(std::string_view text) {
    for (;;) {
        if (text.starts_with(' ') || text.starts_with('\t')) {
            text.remove_prefix(1);
        } else if (text.ends_with(' ') || text.ends_with('\t')) {
            text.remove_suffix(1);
        } else if (text.starts_with(ideographicSpace)) {
            text.remove_prefix(ideographicSpace.size());
        } else if (text.ends_with(ideographicSpace)) {
            text.remove_suffix(ideographicSpace.size());
        } else {
            return text;
        }
    }
}

// The value of a whole number written in ASCII digits, if it is at most `maximum`.
std::optional<int> wholeNumberUpTo(std::string_view text, int maximum) {
    const std::string_view digits = trimBlanks(text);
    if (digits.empty()) return std::nullopt;
    int value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > maximum) return std::nullopt;
    }
    return value;
}

ChoiceCheck refused(std::string problem) {
    ChoiceCheck check;
    check.problem = std::move(problem);
    return check;
}

}  // namespace

ChoiceCheck checkChoices(std::string_view day, std::string_view hour, std::string_view minute) {
    const std::string_view dayItem = trimBlanks(day);
    if (dayItem != todayItem && dayItem != tomorrowItem) return refused("请选择今天或明天");
    const auto hourValue = wholeNumberUpTo(hour, 23);
    if (!hourValue) return refused("小时应为0到23");
    const auto minuteValue = wholeNumberUpTo(minute, 59);
    if (!minuteValue) return refused("分钟应为0到59");

    ChoiceCheck check;
    check.accepted = true;
    check.day = dayItem;
    check.hour = std::to_string(*hourValue);
    check.minute = (*minuteValue < 10 ? "0" : "") + std::to_string(*minuteValue);
    return check;
}

}  // namespace zeravan::engine
