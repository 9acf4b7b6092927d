// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The power port through the desktops' session managers, logind where none runs.
#pragma once

#include <QDBusError>
#include <QVariantList>
#include <memory>
#include <vector>

#include "platform/bus_link.h"
#include "platform/power_logind.h"
#include "platform/power_port.h"
#include "platform/power_request_gate.h"
#include "platform/session_end_watch.h"

namespace zeravan::platform {

// One documented method of a desktop's session manager, with its arguments, and how the session
// manager tells what became of the end of the session it was asked for.
struct SessionManagerCall {
    QString method;
    QVariantList arguments;
    // It answers only once its own dialog is settled (GNOME's Shutdown and Reboot): accepted,
    // or called off with G_IO_ERROR_CANCELLED. It has the request from the moment it is asked.
    bool answersWhenSettled = false;
    // It says so when the end of the session it accepted is called off (its calledOffSignal,
    // or its name leaving the bus), so that no deadline need run.
    bool saysWhenCalledOff = false;
};

// A session manager on the session bus, and the calls that end the session with each action,
// in the order they are tried (the first the running one knows is the one it gets).
struct SessionManagerService {
    QStringList desktops;  // as XDG_CURRENT_DESKTOP names them
    QString service;
    QString path;
    QString interface;
    std::vector<SessionManagerCall> powerOff;
    std::vector<SessionManagerCall> reboot;
    std::vector<SessionManagerCall> logOff;
    // The signal by which it says that an end of the session it began was called off; empty
    // where its interface has none.
    QString calledOffSignal;
    // Its name leaving the bus says that the end of the session was called off.
    bool leavesBusWhenCalledOff = false;
    // The bus may start it on demand, but only while the service named here runs: it is part
    // of that desktop's session. Empty: it is never started by asking it.
    QString startedBeside;
};

// Every session manager this program knows how to ask, each with where its calls are documented.
const std::vector<SessionManagerService>& knownSessionManagers();

// Asks the desktop's session manager to end the session, so that programs may save their work or
// object, as Windows does without the force flag. Where none is on the session bus, the request
// goes to logind, past logind's own gate: this port's gate is the one the request passes. The
// system's permission is always logind's to give.
// A refusal from a session manager is final, as from logind: nothing else is asked then.
// A session manager's answer is waited for as long as it takes: it may hold it until its dialog
// and the programs' are settled, and it ends the session, this program with it, when it goes
// ahead. A request taken is watched until the session ends (SessionEndWatch).
class SessionManagerPowerPort final : public PowerPort {
    Q_OBJECT
public:
    // `currentDesktop` is XDG_CURRENT_DESKTOP: the session managers of those desktops are tried
    // first, then the others.
    SessionManagerPowerPort(BusLink sessionBus, std::unique_ptr<LogindPowerPort> fallback,
                            const QString& currentDesktop, QObject* parent = nullptr,
                            int sessionEndDeadlineMs = defaultSessionEndDeadlineMs);
    ~SessionManagerPowerPort() override;

    void enableShutdownPrivilege() override;
    void request(PowerAction action) override;
    void askPowerOffPermission(QObject* context, PermissionAnswer answer) override;

private slots:
    void sessionEndCalledOff();
    void nameOwnerChanged(const QString& name, const QString& oldOwner, const QString& newOwner);

private:
    struct Candidate {
        const SessionManagerService* manager;
        const SessionManagerCall* call;
    };
    // One request on its way down the candidates; `number` tells it from later ones.
    struct Attempt {
        PowerAction action;
        unsigned number;
        std::vector<Candidate> candidates;
        std::size_t next = 0;
    };

    std::vector<Candidate> candidatesFor(PowerAction action) const;
    void tryCandidate(Attempt attempt);
    void skipManager(Attempt attempt);
    void send(Attempt attempt, bool startIfNeeded);
    void answered(Attempt attempt, const QDBusError& error);
    bool isCurrent(const Attempt& attempt) const { return attempt.number == current_; }
    void take(PowerAction action, const SessionManagerCall& call);
    void accept(PowerAction action, const SessionManagerCall& call);
    void conclude(PowerAction action);
    void fail(PowerAction action, const QString& reason, bool unreachable);
    void lose(PowerAction action, const QString& reason);
    void cancel(PowerAction action, const QString& reason);
    void overdue(PowerAction action, const QString& reason);
    void listenForCalledOff(QDBusConnection& bus, const SessionManagerService& manager);

    BusLink bus_;
    std::unique_ptr<LogindPowerPort> fallback_;
    std::vector<const SessionManagerService*> order_;
    PowerRequestGate gate_;
    SessionEndWatch sessionEnd_;
    unsigned requests_ = 0;  // requests sent so far
    unsigned current_ = 0;   // the one whose answers still count; 0 when none
};

}  // namespace zeravan::platform
