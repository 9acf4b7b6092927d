// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The Win32 calls of the Windows power port, free of Qt.
#pragma once

// The Win32 side of the Windows power port, kept free of Qt so it cross-compiles on its own.

#include <string>

namespace zeravan::platform::win32 {

// ExitWindowsEx flags. Forcing (4) and force-if-hung (8) are never used: the user's
// applications get their chance to save.
inline constexpr unsigned exitLogOff = 0;
inline constexpr unsigned exitShutdown = 1;
inline constexpr unsigned exitReboot = 2;

// Best effort: turns SeShutdownPrivilege on for this process; no step is checked.
void enableShutdownPrivilege();

// False with the system's own words in reason when Windows refuses.
bool exitWindows(unsigned flags, std::string& reason);

// Whether a window message (an MSG) is WM_ENDSESSION saying the session is not ending after
// all: a program, or the user at the "programs are still running" screen, called it off.
bool isEndSessionCalledOff(const void* message);

}  // namespace zeravan::platform::win32
