// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// libFuzzer target: checkChoices must never accept a choice the trigger tick could never match.
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/choice_check.h"
#include "engine/schedule.h"
#include "engine/texts.h"

namespace {

using namespace zeravan::engine;

// The text before the next newline; the rest is left in `input`.
std::string_view nextField(std::string_view& input) {
    const auto end = input.find('\n');
    const std::string_view field = input.substr(0, end);
    input = end == std::string_view::npos ? std::string_view{} : input.substr(end + 1);
    return field;
}

// A number written in ASCII digits only, or -1.
int parsed(const std::string& text) {
    int value = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc{} && end == text.data() + text.size() ? value : -1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string_view day = nextField(input);
    const std::string_view hour = nextField(input);
    const std::string_view minute = input;

    const ChoiceCheck check = checkChoices(day, hour, minute);
    if (!check.accepted) return 0;

    if (check.day != todayItem && check.day != tomorrowItem) __builtin_trap();
    if (day.find(check.day) == std::string_view::npos) __builtin_trap();
    const int h = parsed(check.hour);
    const int m = parsed(check.minute);
    if (h < 0 || h > 23 || m < 0 || m > 59) __builtin_trap();
    // A leap day, where a wrong date form would show first.
    const CivilDate date{2028, 2, 29};
    if (triggerString(dateText(date), check.hour, check.minute) != nowString({date, {h, m, 1}})) {
        __builtin_trap();
    }
    return 0;
}
