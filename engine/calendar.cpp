// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "engine/calendar.h"

#include <chrono>

namespace zeravan::engine {

namespace {

std::chrono::sys_days toSysDays(const CivilDate& date) {
    return std::chrono::year{date.year} / std::chrono::month{static_cast<unsigned>(date.month)} /
           std::chrono::day{static_cast<unsigned>(date.day)};
}

CivilDate fromSysDays(std::chrono::sys_days days) {
    const std::chrono::year_month_day ymd{days};
    return {static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
            static_cast<int>(static_cast<unsigned>(ymd.day()))};
}

constexpr long long secondsPerDay = 24LL * 60 * 60;

}  // namespace

int weekdayNumber(const CivilDate& date) {
    return static_cast<int>(std::chrono::weekday{toSysDays(date)}.c_encoding()) + 1;
}

CivilDate addDays(const CivilDate& date, int days) {
    return fromSysDays(toSysDays(date) + std::chrono::days{days});
}

long long wallSeconds(const LocalDateTime& moment) {
    const long long days = toSysDays(moment.date).time_since_epoch().count();
    return days * secondsPerDay + moment.time.hour * 3600LL + moment.time.minute * 60LL +
           moment.time.second;
}

LocalDateTime fromWallSeconds(long long seconds) {
    long long days = seconds / secondsPerDay;
    long long rest = seconds % secondsPerDay;
    if (rest < 0) {
        rest += secondsPerDay;
        --days;
    }
    const TimeOfDay time{static_cast<int>(rest / 3600), static_cast<int>(rest / 60 % 60),
                         static_cast<int>(rest % 60)};
    return {fromSysDays(std::chrono::sys_days{std::chrono::days{days}}), time};
}

}  // namespace zeravan::engine
