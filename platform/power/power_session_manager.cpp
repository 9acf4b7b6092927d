// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "platform/power_session_manager.h"

#include "bus_call_in_order.h"

#include <QDBusMessage>
#include <algorithm>

namespace zeravan::platform {

namespace {

const QString busService = QStringLiteral("org.freedesktop.DBus");
const QString busPath = QStringLiteral("/org/freedesktop/DBus");

// gnome-session's answer to a Shutdown or Reboot held while its dialog ran, when the user or a
// program called the end of the session off: GLib's G_IO_ERROR_CANCELLED, which GDBus names so.
const QString cancelledInDialog =
    QStringLiteral("org.gtk.GDBus.UnmappedGError.Quark._g_2dio_2derror_2dquark.Code19");

SessionManagerCall call(const char* method, QVariantList arguments = {}) {
    return {QString::fromLatin1(method), std::move(arguments)};
}

// A call after which the session manager says so when the end of the session is called off.
SessionManagerCall tellingCall(const char* method, QVariantList arguments = {}) {
    SessionManagerCall made = call(method, std::move(arguments));
    made.saysWhenCalledOff = true;
    return made;
}

// A call answered only when the session manager's own dialog is settled.
SessionManagerCall heldCall(const char* method) {
    SessionManagerCall made = tellingCall(method);
    made.answersWhenSettled = true;
    return made;
}

std::vector<SessionManagerService> makeKnownSessionManagers() {
    const QString gnomeName = QStringLiteral("org.gnome.SessionManager");
    const QVariant noConfirmation = QVariant::fromValue(quint32{1});
    return {
        // KDE Plasma: plasma-workspace, startkde/plasma-shutdown/org.kde.Shutdown.xml. Plasma
        // 5.25 and later start plasma-shutdown on demand (its D-Bus service file), beside a
        // running ksmserver. It answers at once and then waits as long as it takes for
        // ksmserver's closeSession, which asks the programs; when one of them or the user calls
        // the logout off, it quits (Shutdown::logoutCancelled): its name leaving the bus is
        // Plasma's word for it. Plasma's confirmation is another service
        // (org.kde.LogoutPrompt), not asked here.
        {{QStringLiteral("KDE")},
         QStringLiteral("org.kde.Shutdown"),
         QStringLiteral("/Shutdown"),
         QStringLiteral("org.kde.Shutdown"),
         {tellingCall("logoutAndShutdown")},
         {tellingCall("logoutAndReboot")},
         {tellingCall("logout")},
         {},
         true,
         QStringLiteral("org.kde.ksmserver")},
        // KDE Plasma before 5.25: ksmserver's logout(confirm, type, mode), with the values of
        // plasma-workspace, libkworkspace/kworkspace.h: ShutdownConfirmNo (0, "shutdown without
        // asking"), ShutdownTypeHalt (2), ShutdownTypeReboot (1) or ShutdownTypeNone (0, only
        // log out), ShutdownModeDefault (-1). No signal says that it was called off
        // (subSessionCloseCanceled is for sub-sessions).
        {{QStringLiteral("KDE")},
         QStringLiteral("org.kde.ksmserver"),
         QStringLiteral("/KSMServer"),
         QStringLiteral("org.kde.KSMServerInterface"),
         {call("logout", {0, 2, -1})},
         {call("logout", {0, 1, -1})},
         {call("logout", {0, 0, -1})},
         {},
         false,
         {}},
        // The org.gnome.SessionManager interface, spoken by several desktops:
        // - MATE: mate-session-manager, mate-session/org.gnome.SessionManager.xml, and Cinnamon:
        //   cinnamon-session, cinnamon-session/org.gnome.SessionManager.xml: RequestShutdown and
        //   RequestReboot, "with no dialog", answered at once;
        // - UKUI: ukui-session-manager, ukui-session/sessiondbusadaptor.h (owned as
        //   org.gnome.SessionManager in sessionapplication.cpp): powerOff, reboot and logout,
        //   which log out through the session and then power off or reboot;
        // - GNOME: gnome-session, gnome-session/org.gnome.SessionManager.xml: Shutdown and
        //   Reboot "Request a shutdown dialog"; GNOME has no call without it. gnome-session
        //   answers only once the end of the session goes ahead (gsm-manager.c,
        //   pending_end_session_tasks, completed as the end-session phase begins), after GNOME
        //   Shell's dialog has counted down 60 s and the programs have answered.
        // Logout with mode 1 is "no confirmation interface" in all three documents.
        // Each answers UnknownMethod for the others' names, so the list goes on to its own.
        // mate-session, cinnamon-session and gnome-session go back to their running phase when
        // a program or the user calls the end of the session off, and say so with
        // SessionRunning (gsm-manager.c, start_phase); gnome-session first answers a call it
        // still holds with G_IO_ERROR_CANCELLED.
        {{QStringLiteral("GNOME"), QStringLiteral("MATE"), QStringLiteral("UKUI"),
          QStringLiteral("X-Cinnamon"), QStringLiteral("Cinnamon")},
         gnomeName,
         QStringLiteral("/org/gnome/SessionManager"),
         gnomeName,
         {tellingCall("RequestShutdown"), call("powerOff"), heldCall("Shutdown")},
         {tellingCall("RequestReboot"), call("reboot"), heldCall("Reboot")},
         {tellingCall("Logout", {noConfirmation}), call("logout")},
         QStringLiteral("SessionRunning"),
         false,
         {}},
        // XFCE: xfce4-session, xfce4-session/xfsm-manager-dbus.xml: Shutdown(allow_save),
        // Restart(allow_save), Logout(show_dialog, allow_save); none of them shows a dialog
        // unless asked to. Programs may save or object; ShutdownCancelled says one did.
        {{QStringLiteral("XFCE")},
         QStringLiteral("org.xfce.SessionManager"),
         QStringLiteral("/org/xfce/SessionManager"),
         QStringLiteral("org.xfce.Session.Manager"),
         {tellingCall("Shutdown", {true})},
         {tellingCall("Restart", {true})},
         {tellingCall("Logout", {false, true})},
         QStringLiteral("ShutdownCancelled"),
         false,
         {}},
        // LXQt: lxqt-session, lxqt-session/src/sessiondbusadaptor.h (registered as
        // org.lxqt.session at /LXQtSession in src/sessionapplication.cpp): powerOff and reboot
        // ask logind first and then end the session's programs, so no program can save its
        // work or object; no dialog, and no signal.
        {{QStringLiteral("LXQt")},
         QStringLiteral("org.lxqt.session"),
         QStringLiteral("/LXQtSession"),
         QStringLiteral("org.lxqt.session"),
         {call("powerOff")},
         {call("reboot")},
         {call("logout")},
         {},
         false,
         {}},
        // Cinnamon before it took the GNOME name: cinnamon-session,
        // cinnamon-session/org.cinnamon.SessionManager.xml, the same calls as above.
        {{QStringLiteral("X-Cinnamon"), QStringLiteral("Cinnamon")},
         QStringLiteral("org.cinnamon.SessionManager"),
         QStringLiteral("/org/cinnamon/SessionManager"),
         QStringLiteral("org.cinnamon.SessionManager"),
         {tellingCall("RequestShutdown")},
         {tellingCall("RequestReboot")},
         {tellingCall("Logout", {noConfirmation})},
         QStringLiteral("SessionRunning"),
         false,
         {}},
        // Deepin: startdde, session.go: RequestShutdown, RequestReboot and RequestLogout act at
        // once; Shutdown, Reboot and Logout would open its dialog instead.
        {{QStringLiteral("Deepin"), QStringLiteral("DDE")},
         QStringLiteral("com.deepin.SessionManager"),
         QStringLiteral("/com/deepin/SessionManager"),
         QStringLiteral("com.deepin.SessionManager"),
         {call("RequestShutdown")},
         {call("RequestReboot")},
         {call("RequestLogout")},
         {},
         false,
         {}},
    };
}

const std::vector<SessionManagerCall>& callsFor(const SessionManagerService& manager,
                                                PowerAction action) {
    switch (action) {
        case PowerAction::PowerOff:
            return manager.powerOff;
        case PowerAction::Reboot:
            return manager.reboot;
        case PowerAction::LogOff:
            return manager.logOff;
    }
    Q_UNREACHABLE();
}

// The session managers of the current desktop first, in its order, then the others.
std::vector<const SessionManagerService*> tryingOrder(const QString& currentDesktop) {
    std::vector<const SessionManagerService*> order;
    for (const QString& desktop : currentDesktop.split(u':', Qt::SkipEmptyParts)) {
        for (const SessionManagerService& manager : knownSessionManagers()) {
            if (manager.desktops.contains(desktop, Qt::CaseInsensitive) &&
                std::find(order.begin(), order.end(), &manager) == order.end()) {
                order.push_back(&manager);
            }
        }
    }
    for (const SessionManagerService& manager : knownSessionManagers()) {
        if (std::find(order.begin(), order.end(), &manager) == order.end()) {
            order.push_back(&manager);
        }
    }
    return order;
}

// The owner does not speak this call: it is another session manager under the same name.
bool isNotUnderstood(const QDBusError& error) {
    switch (error.type()) {
        case QDBusError::UnknownMethod:
        case QDBusError::UnknownObject:
        case QDBusError::UnknownInterface:
        case QDBusError::InvalidSignature:
        case QDBusError::InvalidArgs:
            return true;
        default:
            return false;
    }
}

}  // namespace

const std::vector<SessionManagerService>& knownSessionManagers() {
    static const std::vector<SessionManagerService> managers = makeKnownSessionManagers();
    return managers;
}

SessionManagerPowerPort::SessionManagerPowerPort(BusLink sessionBus,
                                                 std::unique_ptr<LogindPowerPort> fallback,
                                                 const QString& currentDesktop, QObject* parent,
                                                 int sessionEndDeadlineMs)
    : PowerPort(parent),
      bus_(std::move(sessionBus)),
      fallback_(std::move(fallback)),
      order_(tryingOrder(currentDesktop)),
      sessionEnd_(sessionEndDeadlineMs) {
    // logind watches what it took itself; its outcomes pass this port's gate.
    connect(fallback_.get(), &PowerPort::requestTaken, this, &PowerPort::requestTaken);
    connect(fallback_.get(), &PowerPort::requestAccepted, this, [this](PowerAction action) {
        gate_.accepted(action);
        emit requestAccepted(action);
    });
    connect(fallback_.get(), &PowerPort::requestRefused, this,
            [this](PowerAction action, const QString& reason) { fail(action, reason, false); });
    connect(fallback_.get(), &PowerPort::requestUnreachable, this,
            [this](PowerAction action, const QString& reason) { fail(action, reason, true); });
    connect(fallback_.get(), &PowerPort::requestLost, this, &SessionManagerPowerPort::lose);
    connect(fallback_.get(), &PowerPort::requestCancelled, this, &SessionManagerPowerPort::cancel);
    connect(&sessionEnd_, &SessionEndWatch::cancelled, this, &SessionManagerPowerPort::cancel);
    connect(&sessionEnd_, &SessionEndWatch::overdue, this, &SessionManagerPowerPort::overdue);
}

SessionManagerPowerPort::~SessionManagerPowerPort() = default;

void SessionManagerPowerPort::enableShutdownPrivilege() {
    fallback_->enableShutdownPrivilege();
}

void SessionManagerPowerPort::askPowerOffPermission(QObject* context, PermissionAnswer answer) {
    fallback_->askPowerOffPermission(context, std::move(answer));
}

void SessionManagerPowerPort::request(PowerAction action) {
    if (!gate_.letThrough(*this, action)) return;
    sessionEnd_.stop();
    current_ = ++requests_;
    // A session bus that went away and came back is connected to again here.
    if (!bus_.connection().isConnected()) {
        fallback_->send(action);
        return;
    }
    tryCandidate({action, current_, candidatesFor(action)});
}

std::vector<SessionManagerPowerPort::Candidate> SessionManagerPowerPort::candidatesFor(
    PowerAction action) const {
    std::vector<Candidate> candidates;
    for (const SessionManagerService* manager : order_) {
        for (const SessionManagerCall& call : callsFor(*manager, action)) {
            candidates.push_back({manager, &call});
        }
    }
    return candidates;
}

// One call at a time, each after the answer to the one before: the first that a running session
// manager accepts or refuses decides; when none is running, logind does.
void SessionManagerPowerPort::tryCandidate(Attempt attempt) {
    if (attempt.next >= attempt.candidates.size()) {
        fallback_->send(attempt.action);
        return;
    }
    const QString& beside = attempt.candidates[attempt.next].manager->startedBeside;
    if (beside.isEmpty()) {
        send(std::move(attempt), false);
        return;
    }
    // The bus may start it only as part of a session that runs (GetNameOwner fails for a name
    // nobody owns); one that runs already is asked either way.
    QDBusConnection bus = bus_.connection();
    callInOrder(bus,
                QDBusMessage::createMethodCall(busService, busPath, busService,
                                               QStringLiteral("GetNameOwner"))
                    << beside,
                -1, this, [this, attempt = std::move(attempt)](const QDBusError& error) mutable {
                    if (isCurrent(attempt)) send(std::move(attempt), !error.isValid());
                });
}

// The session manager asked is not running: none of its calls is tried.
void SessionManagerPowerPort::skipManager(Attempt attempt) {
    const SessionManagerService* absent = attempt.candidates[attempt.next].manager;
    while (attempt.next < attempt.candidates.size() &&
           attempt.candidates[attempt.next].manager == absent) {
        ++attempt.next;
    }
    tryCandidate(std::move(attempt));
}

void SessionManagerPowerPort::send(Attempt attempt, bool startIfNeeded) {
    const Candidate candidate = attempt.candidates[attempt.next];
    QDBusMessage message =
        QDBusMessage::createMethodCall(candidate.manager->service, candidate.manager->path,
                                       candidate.manager->interface, candidate.call->method);
    message.setArguments(candidate.call->arguments);
    // A session manager that is not running is not started by asking it, unless it is part of a
    // session that runs (startedBeside).
    message.setAutoStartService(startIfNeeded);
    QDBusConnection bus = bus_.connection();
    listenForCalledOff(bus, *candidate.manager);
    if (candidate.call->answersWhenSettled) {
        // Told through the event loop, ahead of the answer, and never from inside request().
        QMetaObject::invokeMethod(
            this,
            [this, action = attempt.action, call = candidate.call, number = attempt.number] {
                if (number == current_) take(action, *call);
            },
            Qt::QueuedConnection);
    }
    callInOrder(bus, message, noTimeout, this,
                [this, attempt = std::move(attempt)](const QDBusError& error) mutable {
                    answered(std::move(attempt), error);
                });
}

void SessionManagerPowerPort::answered(Attempt attempt, const QDBusError& error) {
    // An answer to a request that came to its end meanwhile (called off) says nothing more.
    if (!isCurrent(attempt)) return;
    if (!error.isValid()) {
        accept(attempt.action, *attempt.candidates[attempt.next].call);
        return;
    }
    if (isServiceAbsent(error)) {
        skipManager(std::move(attempt));
        return;
    }
    if (isNotUnderstood(error)) {
        ++attempt.next;
        tryCandidate(std::move(attempt));
        return;
    }
    const QString reason = error.name() + QStringLiteral(": ") + error.message();
    if (error.name() == cancelledInDialog) {
        cancel(attempt.action, reason);
    } else if (isAnswerLost(error)) {
        lose(attempt.action, reason);
    } else {
        fail(attempt.action, reason, isUnreachable(error));
    }
}

// From here the session manager has the request: its dialog, and the programs it asks, take
// their time.
void SessionManagerPowerPort::take(PowerAction action, const SessionManagerCall& call) {
    sessionEnd_.begin(action, call.saysWhenCalledOff);
    emit requestTaken(action);
}

void SessionManagerPowerPort::accept(PowerAction action, const SessionManagerCall& call) {
    gate_.accepted(action);
    // A call held until its dialog was settled was taken when it was asked.
    if (!sessionEnd_.isWatching()) take(action, call);
    emit requestAccepted(action);
}

// The request came to its end without ending the session: the next press is sent again.
void SessionManagerPowerPort::conclude(PowerAction action) {
    gate_.refused(action);
    sessionEnd_.stop();
    current_ = 0;
}

void SessionManagerPowerPort::cancel(PowerAction action, const QString& reason) {
    conclude(action);
    emit requestCancelled(action, reason);
}

void SessionManagerPowerPort::overdue(PowerAction action, const QString& reason) {
    conclude(action);
    emit requestOverdue(action, reason);
}

void SessionManagerPowerPort::lose(PowerAction action, const QString& reason) {
    conclude(action);
    emit requestLost(action, reason);
}

void SessionManagerPowerPort::fail(PowerAction action, const QString& reason, bool unreachable) {
    conclude(action);
    if (unreachable) {
        emit requestUnreachable(action, reason);
    } else {
        emit requestRefused(action, reason);
    }
}

// Before the call is sent: a session manager may call the end off right after its answer, before
// a subscription made on the answer would reach the bus. The watch heeds the word, from any
// manager asked, only while it watches a request taken; Qt refuses a second connection to the
// same signal, so asking again adds nothing.
void SessionManagerPowerPort::listenForCalledOff(QDBusConnection& bus,
                                                 const SessionManagerService& manager) {
    if (!manager.calledOffSignal.isEmpty()) {
        bus.connect(manager.service, manager.path, manager.interface, manager.calledOffSignal, this,
                    SLOT(sessionEndCalledOff()));
    }
    if (manager.leavesBusWhenCalledOff) {
        bus.connect(busService, QString(), busService, QStringLiteral("NameOwnerChanged"),
                    {manager.service}, QString(), this,
                    SLOT(nameOwnerChanged(QString, QString, QString)));
    }
}

void SessionManagerPowerPort::sessionEndCalledOff() {
    sessionEnd_.calledOff(QStringLiteral("the session manager called the end of the session off"));
}

void SessionManagerPowerPort::nameOwnerChanged(const QString& name, const QString& oldOwner,
                                               const QString& newOwner) {
    Q_UNUSED(oldOwner);
    if (newOwner.isEmpty()) {
        sessionEnd_.calledOff(name + QStringLiteral(" left the bus: the end of the session was "
                                                    "called off"));
    }
}

}  // namespace zeravan::platform
