// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The shutdown schedule: the captions that carry its state, the chosen day, the trigger strings.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "engine/calendar.h"

namespace zeravan::engine {

// Captions that carry the state of the schedule.
inline constexpr std::string_view armedCaption = "修改";
inline constexpr std::string_view initialConfirmCaption = "确 定";
inline constexpr std::string_view confirmCaption = "确定";

inline constexpr std::string_view initialStatus = "停 止";
inline constexpr std::string_view runningStatus = "执行中...";
inline constexpr std::string_view stoppedStatus = "停止";
// The day's shutdown second went by without a request (the computer asleep, the program held
// up, the clock moved on); the schedule stays armed for the same time the next day, or later
// today when the miss is noticed on a later day before that time.
inline constexpr std::string_view missedStatus = "已错过关机，明天照常执行";
inline constexpr std::string_view missedStatusToday = "已错过关机，今天照常执行";
// The user closed the countdown window: no shutdown today, the same time tomorrow.
inline constexpr std::string_view skippedStatus = "今天已跳过，明天照常执行";

// Armed exactly when the confirm button reads "修改"; any other caption is idle.
bool isArmed(std::string_view confirmButtonCaption);

// The day the schedule aims at, by the calendar: today when the day choice is exactly the first
// list item ("今天"); any other choice ("明天") means the day after the day it was made on,
// whatever ticks were missed since (a stall, a suspend, the clock moved either way). Once that
// day has come, or gone by while the program could not look, the choice reads as the first
// item again and the schedule aims at today.
class ChosenDay {
public:
    struct Reading {
        CivilDate target;
        bool backToFirstItem = false;  // the choice is to read as the first list item again
    };

    // The day choice was set (or confirmed) on `today`.
    void madeOn(const CivilDate& today) { madeOn_ = today; }
    Reading read(const CivilDate& today, bool choiceIsFirstItem) const;

private:
    std::optional<CivilDate> madeOn_;
};

// Whether a schedule string (the trigger or the shutdown string the schedule now aims at) names
// a second later on the day of `now`: after a miss, the same time comes again today, not
// tomorrow.
bool comesLaterToday(std::string_view now, std::string_view scheduleString);

// The status after a missed shutdown, by the trigger string the schedule now aims at.
std::string_view missedStatusFor(std::string_view now, std::string_view nextTrigger);

// Target date, " ", hour, ":", minute, then ":01" (trigger) or ":31" (shutdown), taken as they
// stand: the trigger fires only on exact equality with the now string.
std::string triggerString(std::string_view targetDateText, std::string_view hour,
                          std::string_view minute);
std::string shutdownString(std::string_view targetDateText, std::string_view hour,
                           std::string_view minute);

}  // namespace zeravan::engine
