// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// Whether a tick acts on the second it watches for: now, a few seconds late at most, or missed.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zeravan::engine {

// How late a tick may find a second it was waiting for and still act on it. The ticks come ten
// times a second, so a late tick means the program was held up: a busy or swapping machine, a
// debugger, a stop signal. Such stalls last a second or two; a suspend or a clock set forward
// moves the clock on by minutes or hours. Five seconds covers the first with room to spare, and
// keeps an action that comes late close to what the countdown promised: acting long after the
// shutdown second, say on waking from a suspend, would shut the computer down under the hands
// of a user who has just come back to it.
inline constexpr long long catchUpSeconds = 5;

// What a tick is to do about the second it waits for.
enum class Due {
    No,      // not now
    Now,     // act in this tick
    Missed,  // the second went by, longer ago than catchUpSeconds, with no tick in it
};

// Watches for one second of the wall clock, given as a now string (the target), on every tick.
// It answers Now on each tick of the target second, or, should no tick have fallen into that
// second, on each tick of the first later second a tick finds, if it is at most
// catchUpSeconds past the target. Later than that it answers Missed, once.
//
// A second can come round twice: in the hour repeated when daylight saving ends, or when the
// clock is set back. Only the first time acts: once the ticks of the acting second are over, the
// target is spent until another target is watched or the watch is reset. An empty target, or
// one that is not a now string, is never due but through exact equality.
//
// The target moves on with the calendar (the day choice turns to the next day's date). When it
// moves on from a second that went by unacted while the program could not look (a suspend over
// midnight, the clock set forward by days), that second is told as Missed all the same.
class DueSecond {
public:
    Due check(std::string_view now, std::string_view target);
    void reset();

private:
    Due watch(std::string_view now, std::string_view target, std::optional<long long> nowSecond,
              std::optional<long long> previous);
    Due act(std::string_view now, std::string_view target);
    bool passedUnacted(std::string_view target, std::optional<long long> previous,
                       std::optional<long long> now) const;

    std::optional<long long> previous_;  // the wall-clock second of the tick before
    std::string acting_;                 // the target acted on, while in the acting second
    std::string actingNow_;              // the now string of that second
    std::string spent_;                  // a target whose acting second has come and gone
    std::string watched_;                // the target of the tick before
};

}  // namespace zeravan::engine
