// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The power port on Windows, through ExitWindowsEx.
#pragma once

#include <QAbstractNativeEventFilter>

#include "platform/power_port.h"
#include "platform/power_request_gate.h"
#include "platform/session_end_watch.h"

namespace zeravan::platform {

// ExitWindowsEx, which answers at once; the outcome is still delivered later, as on Linux. Presses
// of a kind that was just accepted send nothing (each ExitWindowsEx starts a round of asking the
// programs of its own). An accepted request is watched: WM_ENDSESSION with "not ending" says it
// was called off, but Windows sends it only to programs it asked before one objected, so the
// deadline runs as well.
class WindowsPowerPort final : public PowerPort, private QAbstractNativeEventFilter {
    Q_OBJECT
public:
    explicit WindowsPowerPort(QObject* parent = nullptr);
    ~WindowsPowerPort() override;

    void enableShutdownPrivilege() override;
    void request(PowerAction action) override;
    // Windows has no such question; a refusal shows when the request is made.
    void askPowerOffPermission(QObject* context, PermissionAnswer answer) override;

private:
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

    PowerRequestGate gate_;
    SessionEndWatch sessionEnd_;
};

}  // namespace zeravan::platform
