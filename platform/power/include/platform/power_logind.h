// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The power port through systemd-logind.
#pragma once

#include <QDBusError>

#include "platform/bus_link.h"
#include "platform/power_port.h"
#include "platform/power_request_gate.h"
#include "platform/session_end_watch.h"

namespace zeravan::platform {

// systemd-logind on the given bus. Calls are interactive, so polkit may ask for a password.
// Presses of a kind that waits for its answer, or that was just accepted, send nothing. An
// accepted shutdown or reboot is watched: logind's PrepareForShutdown(false) says it was called
// off, so no deadline runs.
class LogindPowerPort final : public PowerPort {
    Q_OBJECT
public:
    // How long CanPowerOff may take before logind counts as unreachable.
    static constexpr int defaultPermissionTimeoutMs = 10'000;

    explicit LogindPowerPort(BusLink bus, QObject* parent = nullptr,
                             int permissionTimeoutMs = defaultPermissionTimeoutMs);

    void enableShutdownPrivilege() override;
    void request(PowerAction action) override;
    // The request without this port's gate, for a port that fell back to this one after its own
    // gate let the request through: one request passes one gate.
    void send(PowerAction action);
    void askPowerOffPermission(QObject* context, PermissionAnswer answer) override;

private slots:
    void prepareForShutdown(bool starting);

private:
    void finish(PowerAction action, const QDBusError& error);

    BusLink bus_;
    int permissionTimeoutMs_;
    PowerRequestGate gate_;
    SessionEndWatch sessionEnd_;
};

}  // namespace zeravan::platform
