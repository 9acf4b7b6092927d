// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// Dates and times of day on the local wall clock, and counting days and seconds on it.
#pragma once

#include <tuple>

namespace zeravan::engine {

// A calendar date and a time of day in local time, as the wall clock shows them.
struct CivilDate {
    int year = 1970;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    friend bool operator==(const CivilDate&, const CivilDate&) = default;
    friend bool operator<(const CivilDate& a, const CivilDate& b) {
        return std::tie(a.year, a.month, a.day) < std::tie(b.year, b.month, b.day);
    }
    friend bool operator>=(const CivilDate& a, const CivilDate& b) { return !(a < b); }
};

struct TimeOfDay {
    int hour = 0;    // 0..23
    int minute = 0;  // 0..59
    int second = 0;  // 0..59 (60 for a leap second)
    friend bool operator==(const TimeOfDay&, const TimeOfDay&) = default;
};

struct LocalDateTime {
    CivilDate date;
    TimeOfDay time;
    friend bool operator==(const LocalDateTime&, const LocalDateTime&) = default;
};

// Sunday = 1 ... Saturday = 7.
int weekdayNumber(const CivilDate& date);

CivilDate addDays(const CivilDate& date, int days);

// Seconds since 1970-01-01 0:00:00 counted on the wall clock (no zone, no DST); used to step
// a simulated clock and to compare moments.
long long wallSeconds(const LocalDateTime& moment);
LocalDateTime fromWallSeconds(long long seconds);

}  // namespace zeravan::engine
