// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include <cstdlib>

#include "platform/graphical_desktop.h"

namespace zeravan::platform {

// A Windows program always has its desktop; each logon session has its own.
GraphicalDesktop findGraphicalDesktop() {
    const char* session = std::getenv("SESSIONNAME");
    return {true, {}, session ? session : ""};
}

}  // namespace zeravan::platform
