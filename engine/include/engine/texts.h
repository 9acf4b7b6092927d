// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The date and time texts the windows show.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "engine/calendar.h"

namespace zeravan::engine {

// The date text: the short date form "yyyy/M/d" ("2026/3/5"), the one form used everywhere.
std::string dateText(const CivilDate& date);

// The time text: 24-hour clock, hour without a leading zero, "H:mm:ss" ("2:33:01", "0:00:00").
std::string timeText(const TimeOfDay& time);

// The now string: date text, one blank, time text.
std::string nowString(const LocalDateTime& moment);

// The moment a now string names, if the text is one; any other form gives nothing.
std::optional<LocalDateTime> parseNowString(std::string_view text);

// "星期日" for Sunday ... "星期六" for Saturday.
std::string weekdayName(const CivilDate& date);

// What the status line and the countdown say of the system's answers, in place of the running
// status and of the count. The status line has room for twelve characters, the countdown's line
// for nineteen.
// On arming: the system's permission.
inline constexpr std::string_view challengeStatus = "执行中...关机时或需密码";
inline constexpr std::string_view notAllowedStatus = "系统不允许关机";
// Nobody could be asked, on arming or in the shutdown second.
inline constexpr std::string_view unreachableText = "无法连接系统电源服务";
// The system said no.
inline constexpr std::string_view powerOffRefusedText = "关机被系统拒绝";
inline constexpr std::string_view rebootRefusedText = "重启被系统拒绝";
inline constexpr std::string_view logOffRefusedText = "注销被系统拒绝";
// The shutdown second went by and the system has not answered yet (polkit may be asking for a
// password): the count stops at 0.
inline constexpr std::string_view requestingCountdownText = "正在请求关机";
// The system has the request: a desktop asks the programs or shows its own dialog.
inline constexpr std::string_view powerOffTakenStatus = "系统正在关机";
inline constexpr std::string_view rebootTakenStatus = "系统正在重启";
inline constexpr std::string_view logOffTakenStatus = "系统正在注销";
// The countdown says the status line's words and this after them.
inline constexpr std::string_view takenCountdownAdvice = "，请留意系统提示";
// The answer was lost with the bus or the service.
inline constexpr std::string_view lostText = "关机请求结果未知";
// The desktop said that the user or a program called the shutdown off; the schedule stays
// armed for the same time, later today or tomorrow.
inline constexpr std::string_view cancelledCountdownText = "关机被系统或程序取消";
inline constexpr std::string_view cancelledStatus = "关机被取消，明天照常执行";
inline constexpr std::string_view cancelledStatusToday = "关机被取消，今天照常执行";
// The session still runs two minutes after the system took the request, where it has no word
// for a call-off: all that is known is that the shutdown has not happened.
inline constexpr std::string_view overdueCountdownText = "两分钟内未关机，明天照常执行";
inline constexpr std::string_view overdueCountdownTextToday = "两分钟内未关机，今天照常执行";
inline constexpr std::string_view overdueStatus = "关机未完成，明天照常执行";
inline constexpr std::string_view overdueStatusToday = "关机未完成，今天照常执行";

}  // namespace zeravan::engine
