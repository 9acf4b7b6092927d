// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The gate that keeps repeated presses of one request from reaching the system twice.
#pragma once

#include <QElapsedTimer>
#include <map>
#include <set>

#include "platform/power_port.h"

namespace zeravan::platform {

// Keeps repeated presses of one kind of request from reaching the system twice: while one waits
// for its answer, and for a moment after it was accepted (the rest of the second in which the
// countdown presses again and again). A refusal lets the next press through. The gate keeps to
// the requests it let through: the outcome of one sent past it is none of its business.
class PowerRequestGate {
public:
    enum class Verdict { Send, Waiting, AlreadyAccepted };

    // Marks the request as waiting when it may be sent.
    Verdict admit(PowerAction action);
    // admit, answered for the port: true when the request is to be sent now. A request accepted a
    // moment ago is reported accepted again, on the next turn of the event loop, unsent.
    bool letThrough(PowerPort& port, PowerAction action);
    void accepted(PowerAction action);
    void refused(PowerAction action);

private:
    std::set<PowerAction> waiting_;
    std::map<PowerAction, QElapsedTimer> acceptedAt_;
};

}  // namespace zeravan::platform
