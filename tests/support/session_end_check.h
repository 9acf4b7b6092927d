// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#pragma once

#include <memory>

#include "platform/power_port.h"

namespace zeravan::test {

// What follows a power-off that the system accepted.
enum class SessionEnd {
    CalledOff,     // the service says the end of the session was called off
    StillRunning,  // nobody says anything, and the session goes on
    PortGone,      // the port is destroyed while it watches
};

// Requests a power-off of `port`, whose session-end deadline is `deadlineMs`, and checks that
// requestCancelled follows as `expected` says: well before the deadline when called off, not
// before it otherwise, never once the port is gone; and once only. After a cancellation, a
// press is to be sent again: the caller checks that the service received a second call.
// Reports through QTest; the caller checks QTest::currentTestFailed() after it.
void checkSessionEndWatch(std::unique_ptr<platform::PowerPort>& port, SessionEnd expected,
                          int deadlineMs);

}  // namespace zeravan::test
