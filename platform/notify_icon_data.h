// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <cstdint>

namespace zeravan::platform {

// The notification-area icon record, in the shape the shell's first record layout has. The Qt
// tray reads only the icon and the tip; the other fields are kept and filled as the shell's
// record wants them, since the record is the program's shared state as designed (written by the
// main window's WindowStyle, checked field by field by its tests) and is what a shell call passes.
struct NotifyIconData {
    static constexpr int tipLength = 64;

    std::uint32_t cbSize = 0;
    std::uint64_t hWnd = 0;  // the main window's native id
    std::uint64_t uID = 0;   // the icon's handle, which also names the icon
    std::uint32_t uFlags = 0;
    std::uint32_t uCallbackMessage = 0;
    std::uint64_t hIcon = 0;
    QString szTip = QString(tipLength, QChar(0));  // blank: all NUL characters

    // The tooltip as the shell shows it: the tip up to its first NUL.
    QString shownTip() const;
};

}  // namespace zeravan::platform
