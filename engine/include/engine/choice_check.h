// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The arming checks: what the user's day, hour and minute texts are taken for.
#pragma once

#include <string>
#include <string_view>

namespace zeravan::engine {

inline constexpr std::string_view todayItem = "今天";
inline constexpr std::string_view tomorrowItem = "明天";

// What arming makes of the user's day, hour and minute texts.
struct ChoiceCheck {
    bool accepted = false;
    std::string day;      // the day item without the blanks around it, when accepted
    std::string hour;     // rewritten to the time text's form ("7"), when accepted
    std::string minute;   // rewritten to two digits ("07"), when accepted
    std::string problem;  // a short message for the status line, when refused
};

// Accepts "今天" or "明天", an hour 0..23 and a minute 0..59 written in ASCII digits, each with
// blanks around it allowed (spaces, tabs, the ideographic space). Anything else is refused, so
// an armed schedule can always fire.
ChoiceCheck checkChoices(std::string_view day, std::string_view hour, std::string_view minute);

}  // namespace zeravan::engine
