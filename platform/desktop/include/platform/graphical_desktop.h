// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// Which graphical desktop the windows go to, worked out before Qt starts.
#pragma once

#include <string>

namespace zeravan::platform {

// The desktop the program's windows go to, worked out before Qt starts: Qt aborts when it
// cannot reach one, and it must be told which way to reach it when there are two.
struct GraphicalDesktop {
    // False when there is plainly no desktop to show windows on.
    bool reachable = true;
    // The Qt platform to ask for; empty leaves the choice to the user's QT_QPA_PLATFORM or Qt.
    std::string qtPlatform;
    // Names the desktop session, so that one copy of the program runs in each.
    std::string session;
};

GraphicalDesktop findGraphicalDesktop();

}  // namespace zeravan::platform
