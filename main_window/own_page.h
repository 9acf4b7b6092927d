// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The web band's own page, shown while the maker's page is not there.
#pragma once

#include <QString>

namespace zeravan {

// What the web band shows while the maker's page is not there: the program's name and how to
// use it, in the window's grey, blue and Song-style face.
inline const QString ownPage = QStringLiteral(
    "<body bgcolor=\"#c0c0c0\" style=\"font-family:'宋体','SimSun','AR PL UMing CN';"
    " font-size:12px; color:#000000\">"
    "<p style=\"margin:16px 0 0 24px; font-size:14px; font-weight:bold; color:#0000ff\">"
    "Zeravan 定时关机</p>"
    "<p style=\"margin:8px 0 0 24px\">选好今天或明天、时和分，按“确 定”，到时自动关机。</p>"
    "</body>");

}  // namespace zeravan
