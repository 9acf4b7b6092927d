// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QDBusConnection>
#include <QDBusError>

#include "platform/power_port.h"
#include "platform/power_request_gate.h"

namespace zeravan::platform {

// systemd-logind on the given bus. Calls are interactive, so polkit may ask for a password.
// Presses of a kind that waits for its answer, or that was just accepted, send nothing.
class LogindPowerPort final : public PowerPort {
    Q_OBJECT
public:
    // How long CanPowerOff may take before logind counts as unreachable.
    static constexpr int kPermissionTimeoutMs = 10'000;

    explicit LogindPowerPort(QDBusConnection bus, QObject* parent = nullptr,
                             int permissionTimeoutMs = kPermissionTimeoutMs);

    void enableShutdownPrivilege() override;
    void request(PowerAction action) override;
    void askPowerOffPermission(QObject* context, PermissionAnswer answer) override;

private:
    void finish(PowerAction action, const QDBusError& error);

    QDBusConnection bus_;
    int permissionTimeoutMs_;
    PowerRequestGate gate_;
};

}  // namespace zeravan::platform
