// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The power port: shut down, restart or log off, and what the system answers.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

namespace zeravan::platform {

enum class PowerAction { PowerOff, Reboot, LogOff };

// What the system says of a power-off by this user, as logind's CanPowerOff answers; or that
// nobody answered at all (no bus, no logind, or no reply in time).
enum class PowerPermission { Yes, Challenge, No, NotApplicable, Unreachable };

// How long a request the system accepted may go on before the program says that it has not
// happened, where the system has no word for an end of the session called off. GNOME Shell's
// end-session dialog counts down 60 s, and programs asked to save get time for it; a shutdown
// that goes ahead ends the session well within twice that.
inline constexpr int defaultSessionEndDeadlineMs = 120'000;

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
    // The system has the request and carries it out in its own time: a session manager asking
    // the programs, or showing its own dialog, logind, Windows. Told once a request, before
    // requestAccepted where both come: a session manager that answers only once its dialog is
    // settled (GNOME) has the request from the moment it is asked.
    void requestTaken(zeravan::platform::PowerAction action);
    void requestAccepted(zeravan::platform::PowerAction action);
    // The system said no.
    void requestRefused(zeravan::platform::PowerAction action, const QString& reason);
    // Nobody could be asked: no bus, or no such service on it.
    void requestUnreachable(zeravan::platform::PowerAction action, const QString& reason);
    // The request was sent, and its answer was lost with the bus or with the service: whether
    // the system has it is not known.
    void requestLost(zeravan::platform::PowerAction action, const QString& reason);
    // The system or a program called the end of the session off, and the system said so.
    void requestCancelled(zeravan::platform::PowerAction action, const QString& reason);
    // The session still runs at the deadline (defaultSessionEndDeadlineMs) after the system
    // accepted, where it has no word for a call-off: the shutdown has not happened within that
    // time.
    void requestOverdue(zeravan::platform::PowerAction action, const QString& reason);
};

}  // namespace zeravan::platform
