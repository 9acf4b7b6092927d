#include "engine/choice_check.h"

#include <optional>

namespace zeravan::engine {

namespace {

std::string_view trimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
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
    if (day != todayItem && day != tomorrowItem) return refused("请选择今天或明天");
    const auto hourValue = wholeNumberUpTo(hour, 23);
    if (!hourValue) return refused("小时应为0到23");
    const auto minuteValue = wholeNumberUpTo(minute, 59);
    if (!minuteValue) return refused("分钟应为0到59");

    ChoiceCheck check;
    check.accepted = true;
    check.hour = std::to_string(*hourValue);
    check.minute = (*minuteValue < 10 ? "0" : "") + std::to_string(*minuteValue);
    return check;
}

}  // namespace zeravan::engine
