// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <functional>

namespace zeravan::platform {

enum class PowerAction { PowerOff, Reboot, LogOff };

// What the system says of a power-off by this user, as logind's CanPowerOff answers; or that
// nobody answered at all (no bus, no logind, or no reply in time).
enum class PowerPermission { Yes, Challenge, No, NotApplicable, Unreachable };

// The operating system's power requests. Requests return at once; their outcome arrives later
// as a signal on the GUI thread.
class PowerPort : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    using PermissionAnswer = std::function<void(PowerPermission)>;

    // Best effort and silent: where a privilege must be enabled before shutting down.
    virtual void enableShutdownPrivilege() = 0;
    virtual void request(PowerAction action) = 0;
    // Asked when the user arms a schedule, so that one that cannot work is refused. Returns at
    // once; `answer` runs later on the GUI thread, unless `context` is gone by then.
    virtual void askPowerOffPermission(QObject* context, PermissionAnswer answer) = 0;

signals:
    void requestAccepted(zeravan::platform::PowerAction action);
    // The system said no.
    void requestRefused(zeravan::platform::PowerAction action, const QString& reason);
    // Nobody could be asked: the bus, or the service on it, could not be reached.
    void requestUnreachable(zeravan::platform::PowerAction action, const QString& reason);
    // An accepted request came to nothing: the system or a program called the end of the
    // session off, or the session still runs long after it should have ended.
    void requestCancelled(zeravan::platform::PowerAction action, const QString& reason);
};

}  // namespace zeravan::platform
