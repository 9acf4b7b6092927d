// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#pragma once

#include <memory>

#include "platform/power_port.h"

namespace zeravan::test {

// What follows a power-off that the system accepted.
enum class SessionEnd {
    CalledOff,  // the system says the end of the session was called off
    Overdue,    // the system has no word for that, and the session goes on past the deadline
    Pending,    // the system has such a word and says nothing: the request stays in its hands
    PortGone,   // the port is destroyed while it watches
};

// Requests a power-off of `port`, whose session-end deadline is `deadlineMs`, and checks what
// follows: requestCancelled well before the deadline when called off, requestOverdue at the
// deadline and not before, nothing at all while pending, never anything once the port is gone;
// each once only. Then it presses again: after a cancellation or the deadline the press is to be
// sent again, while pending it is not (the caller checks how often the service was asked).
// Reports through QTest; the caller checks QTest::currentTestFailed() after it.
void checkSessionEndWatch(std::unique_ptr<platform::PowerPort>& port, SessionEnd expected,
                          int deadlineMs);

}  // namespace zeravan::test
