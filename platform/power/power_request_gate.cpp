// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "platform/power_request_gate.h"

namespace zeravan::platform {

namespace {

// Longer than the one second of presses; far shorter than any later, deliberate request.
constexpr qint64 acceptedRepeatMs = 3'000;

}  // namespace

PowerRequestGate::Verdict PowerRequestGate::admit(PowerAction action) {
    if (waiting_.count(action) != 0) return Verdict::Waiting;
    const auto accepted = acceptedAt_.find(action);
    if (accepted != acceptedAt_.end() && !accepted->second.hasExpired(acceptedRepeatMs)) {
        return Verdict::AlreadyAccepted;
    }
    waiting_.insert(action);
    return Verdict::Send;
}

void PowerRequestGate::accepted(PowerAction action) {
    if (waiting_.erase(action) == 0) return;
    acceptedAt_[action].start();
}

void PowerRequestGate::refused(PowerAction action) {
    waiting_.erase(action);
    acceptedAt_.erase(action);
}

bool PowerRequestGate::letThrough(PowerPort& port, PowerAction action) {
    switch (admit(action)) {
        case Verdict::Waiting:
            return false;
        case Verdict::AlreadyAccepted:
            QMetaObject::invokeMethod(
                &port, [&port, action] { emit port.requestAccepted(action); },
                Qt::QueuedConnection);
            return false;
        case Verdict::Send:
            break;
    }
    return true;
}

}  // namespace zeravan::platform
