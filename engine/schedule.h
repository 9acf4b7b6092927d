// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#pragma once

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
// up, the clock moved on); the schedule stays armed for the same time the next day.
inline constexpr std::string_view missedStatus = "已错过关机，明天照常执行";
// The user closed the countdown window: no shutdown today, the same time tomorrow.
inline constexpr std::string_view skippedStatus = "今天已跳过，明天照常执行";

// The second in which the day choice returns to its first item each night.
inline constexpr std::string_view dayResetTime = "0:00:00";

// Armed exactly when the confirm button reads "修改"; any other caption is idle.
bool isArmed(std::string_view confirmButtonCaption);

// The day the schedule aims at: today when the day choice is exactly the first list item,
// otherwise the day after.
CivilDate targetDate(const CivilDate& today, std::string_view dayChoice,
                     std::string_view firstDayItem);

bool isDayResetSecond(std::string_view timeText);

// Target date, " ", hour, ":", minute, then ":01" (trigger) or ":31" (shutdown), taken as they
// stand: the trigger fires only on exact equality with the now string.
std::string triggerString(std::string_view targetDateText, std::string_view hour,
                          std::string_view minute);
std::string shutdownString(std::string_view targetDateText, std::string_view hour,
                           std::string_view minute);

}  // namespace zeravan::engine
