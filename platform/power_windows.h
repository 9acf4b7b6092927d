// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/power_port.h"

namespace zeravan::platform {

// ExitWindowsEx, which answers at once; the outcome is still delivered later, as on Linux.
class WindowsPowerPort final : public PowerPort {
    Q_OBJECT
public:
    using PowerPort::PowerPort;

    void enableShutdownPrivilege() override;
    void request(PowerAction action) override;
    // Windows has no such question; a refusal shows when the request is made.
    void askPowerOffPermission(QObject* context, PermissionAnswer answer) override;
};

}  // namespace zeravan::platform
