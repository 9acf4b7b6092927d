// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// Start-up: constructs the system's backends, hands them to the windows and runs the program.
#pragma once

namespace zeravan::app {

// Starts the program: the main window, shown centred, and the message loop until the end.
int run(int argc, char** argv);

}  // namespace zeravan::app
