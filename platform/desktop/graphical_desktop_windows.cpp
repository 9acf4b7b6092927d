// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include <windows.h>

#include <string>

#include "platform/graphical_desktop.h"

namespace zeravan::platform {

// A Windows program always has its desktop; each logon session has its own, numbered by Windows
// (SESSIONNAME would not do: every console session is called "Console").
GraphicalDesktop findGraphicalDesktop() {
    DWORD session = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    return {true, {}, std::to_string(session)};
}

}  // namespace zeravan::platform
