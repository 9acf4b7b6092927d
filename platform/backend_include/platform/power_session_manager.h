// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
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

// One documented method of a desktop's session manager, with its arguments.
struct SessionManagerCall {
    QString method;
    QVariantList arguments;
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
};

// Every session manager this program knows how to ask, each with where its calls are documented.
const std::vector<SessionManagerService>& knownSessionManagers();

// Asks the desktop's session manager to end the session, so that programs may save their work or
// object, as Windows does without the force flag. Where none is on the session bus, the request
// goes to logind, past logind's own gate: this port's gate is the one the request passes. The
// system's permission is always logind's to give.
// A refusal from a session manager is final, as from logind: nothing else is asked then.
// An accepted request is watched until the session ends (SessionEndWatch).
class SessionManagerPowerPort final : public PowerPort {
    Q_OBJECT
public:
    // `currentDesktop` is XDG_CURRENT_DESKTOP: the session managers of those desktops are tried
    // first, then the others.
    SessionManagerPowerPort(BusLink sessionBus, std::unique_ptr<LogindPowerPort> fallback,
                            const QString& currentDesktop, QObject* parent = nullptr,
                            int sessionEndDeadlineMs = SessionEndWatch::kDefaultDeadlineMs);
    ~SessionManagerPowerPort() override;

    void enableShutdownPrivilege() override;
    void request(PowerAction action) override;
    void askPowerOffPermission(QObject* context, PermissionAnswer answer) override;

private slots:
    void sessionEndCalledOff();

private:
    struct Candidate {
        const SessionManagerService* manager;
        const SessionManagerCall* call;
    };

    std::vector<Candidate> candidatesFor(PowerAction action) const;
    void tryCandidate(PowerAction action, std::vector<Candidate> candidates, std::size_t next);
    void accept(PowerAction action, const SessionManagerService* manager);
    void fail(PowerAction action, const QString& reason, bool unreachable);
    void cancel(PowerAction action, const QString& reason);
    void listenForCalledOff(QDBusConnection& bus, const SessionManagerService& manager);

    BusLink bus_;
    std::unique_ptr<LogindPowerPort> fallback_;
    std::vector<const SessionManagerService*> order_;
    PowerRequestGate gate_;
    SessionEndWatch sessionEnd_;
};

}  // namespace zeravan::platform
