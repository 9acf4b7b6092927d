// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "engine/due_second.h"

#include <utility>

#include "engine/texts.h"

namespace zeravan::engine {

namespace {

std::optional<long long> wallSecondsOf(std::string_view nowText) {
    const auto moment = parseNowString(nowText);
    return moment ? std::optional(wallSeconds(*moment)) : std::nullopt;
}

}  // namespace

Due DueSecond::check(std::string_view now, std::string_view target) {
    const std::optional<long long> nowSecond = wallSecondsOf(now);
    const std::optional<long long> previous = std::exchange(previous_, nowSecond);
    const std::string watched = std::exchange(watched_, std::string(target));
    const bool movedOnUnacted = !target.empty() && !watched.empty() && target != watched &&
                                passedUnacted(watched, previous, nowSecond);
    const Due due = watch(now, target, nowSecond, previous);
    return due == Due::No && movedOnUnacted ? Due::Missed : due;
}

bool DueSecond::passedUnacted(std::string_view target, std::optional<long long> previous,
                              std::optional<long long> now) const {
    const std::optional<long long> targetSecond = wallSecondsOf(target);
    return target != spent_ && target != acting_ && targetSecond && previous && now &&
           *previous<*targetSecond&& * now> * targetSecond;
}

Due DueSecond::watch(std::string_view now, std::string_view target,
                     std::optional<long long> nowSecond, std::optional<long long> previous) {
    if (!acting_.empty()) {
        if (target == acting_ && now == actingNow_) return Due::Now;
        spent_ = std::exchange(acting_, {});
        actingNow_.clear();
    }
    if (target.empty() || target == spent_) return Due::No;
    if (now == target) return act(now, target);

    // Only a tick that follows one before the target can find it passed by: otherwise the
    // target was behind the clock already when the watch began.
    const std::optional<long long> targetSecond = wallSecondsOf(target);
    if (!nowSecond || !targetSecond || !previous || *previous >= *targetSecond ||
        *nowSecond <= *targetSecond) {
        return Due::No;
    }
    return *nowSecond - *targetSecond <= catchUpSeconds ? act(now, target) : Due::Missed;
}

Due DueSecond::act(std::string_view now, std::string_view target) {
    acting_ = target;
    actingNow_ = now;
    return Due::Now;
}

void DueSecond::reset() {
    previous_.reset();
    acting_.clear();
    actingNow_.clear();
    spent_.clear();
    watched_.clear();
}

}  // namespace zeravan::engine
