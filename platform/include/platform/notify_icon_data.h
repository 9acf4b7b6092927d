// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The tray icon record the main window hands the tray port.
#pragma once

#include <QString>
#include <cstdint>

namespace zeravan::platform {

// What the main window tells the tray port about its icon with every add and delete request:
// which icon, and the tip. It lives at module level from program start (blank: no icon, the tip
// all NUL characters) and is written only when the window goes to the tray.
struct NotifyIconData {
    static constexpr int tipLength = 64;

    std::uint64_t hIcon = 0;  // the icon's cache key, matched against the icons the port holds
    QString szTip = QString(tipLength, QChar(0));  // blank: all NUL characters

    // The tooltip the tray shows: the tip up to its first NUL.
    QString shownTip() const;
};

}  // namespace zeravan::platform
