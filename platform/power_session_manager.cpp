// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "platform/power_session_manager.h"

#include "bus_call_in_order.h"

#include <QDBusMessage>
#include <algorithm>

namespace zeravan::platform {

namespace {

// Session managers answer once the end of the session has begun, not when it is over.
constexpr int kCallTimeoutMs = 25'000;

QVariantList noArguments() {
    return {};
}

std::vector<SessionManagerService> makeKnownSessionManagers() {
    const QString gnomeName = QStringLiteral("org.gnome.SessionManager");
    return {
        // KDE Plasma: plasma-workspace, startkde/plasma-shutdown/org.kde.Shutdown.xml. These
        // end the session at once; Plasma's confirmation is a separate service
        // (org.kde.LogoutPrompt), not asked here. Neither interface of Plasma's has a signal for
        // an end called off (ksmserver's subSessionCloseCanceled is for sub-sessions).
        {{QStringLiteral("KDE")},
         QStringLiteral("org.kde.Shutdown"),
         QStringLiteral("/Shutdown"),
         QStringLiteral("org.kde.Shutdown"),
         {{QStringLiteral("logoutAndShutdown"), noArguments()}},
         {{QStringLiteral("logoutAndReboot"), noArguments()}},
         {{QStringLiteral("logout"), noArguments()}},
         {}},
        // KDE Plasma before 5.25: ksmserver's logout(confirm, type, mode), with the values of
        // plasma-workspace, libkworkspace/kworkspace.h: ShutdownConfirmNo (0, "shutdown without
        // asking"), ShutdownTypeHalt (2), ShutdownTypeReboot (1) or ShutdownTypeNone (0, only
        // log out), ShutdownModeDefault (-1).
        {{QStringLiteral("KDE")},
         QStringLiteral("org.kde.ksmserver"),
         QStringLiteral("/KSMServer"),
         QStringLiteral("org.kde.KSMServerInterface"),
         {{QStringLiteral("logout"), {0, 2, -1}}},
         {{QStringLiteral("logout"), {0, 1, -1}}},
         {{QStringLiteral("logout"), {0, 0, -1}}},
         {}},
        // The org.gnome.SessionManager interface, spoken by several desktops:
        // - MATE: mate-session-manager, mate-session/org.gnome.SessionManager.xml, and Cinnamon:
        //   cinnamon-session, cinnamon-session/org.gnome.SessionManager.xml: RequestShutdown and
        //   RequestReboot, "with no dialog";
        // - UKUI: ukui-session-manager, ukui-session/sessiondbusadaptor.h (owned as
        //   org.gnome.SessionManager in sessionapplication.cpp): powerOff, reboot and logout,
        //   which log out through the session and then power off or reboot;
        // - GNOME: gnome-session, gnome-session/org.gnome.SessionManager.xml: Shutdown and
        //   Reboot "Request a shutdown dialog"; GNOME has no call without it. GNOME Shell's
        //   dialog counts down and then goes ahead unless the user cancels it.
        // Logout with mode 1 is "no confirmation interface" in all three documents.
        // Each answers UnknownMethod for the others' names, so the list goes on to its own.
        // mate-session and cinnamon-session go back to their running phase when a program or
        // the user calls the end of the session off, and say so with SessionRunning
        // (gsm-manager.c, start_phase); gnome-session 3.x no longer does.
        {{QStringLiteral("GNOME"), QStringLiteral("MATE"), QStringLiteral("UKUI"),
          QStringLiteral("X-Cinnamon"), QStringLiteral("Cinnamon")},
         gnomeName,
         QStringLiteral("/org/gnome/SessionManager"),
         gnomeName,
         {{QStringLiteral("RequestShutdown"), noArguments()},
          {QStringLiteral("powerOff"), noArguments()},
          {QStringLiteral("Shutdown"), noArguments()}},
         {{QStringLiteral("RequestReboot"), noArguments()},
          {QStringLiteral("reboot"), noArguments()},
          {QStringLiteral("Reboot"), noArguments()}},
         {{QStringLiteral("Logout"), {QVariant::fromValue(quint32{1})}},
          {QStringLiteral("logout"), noArguments()}},
         QStringLiteral("SessionRunning")},
        // XFCE: xfce4-session, xfce4-session/xfsm-manager-dbus.xml: Shutdown(allow_save),
        // Restart(allow_save), Logout(show_dialog, allow_save); none of them shows a dialog
        // unless asked to. Programs may save or object; ShutdownCancelled says one did.
        {{QStringLiteral("XFCE")},
         QStringLiteral("org.xfce.SessionManager"),
         QStringLiteral("/org/xfce/SessionManager"),
         QStringLiteral("org.xfce.Session.Manager"),
         {{QStringLiteral("Shutdown"), {true}}},
         {{QStringLiteral("Restart"), {true}}},
         {{QStringLiteral("Logout"), {false, true}}},
         QStringLiteral("ShutdownCancelled")},
        // LXQt: lxqt-session, lxqt-session/src/sessiondbusadaptor.h (registered as
        // org.lxqt.session at /LXQtSession in src/sessionapplication.cpp): powerOff and reboot
        // ask logind first and then end the session's programs, so no program can save its
        // work or object; no dialog, and no signal.
        {{QStringLiteral("LXQt")},
         QStringLiteral("org.lxqt.session"),
         QStringLiteral("/LXQtSession"),
         QStringLiteral("org.lxqt.session"),
         {{QStringLiteral("powerOff"), noArguments()}},
         {{QStringLiteral("reboot"), noArguments()}},
         {{QStringLiteral("logout"), noArguments()}},
         {}},
        // Cinnamon before it took the GNOME name: cinnamon-session,
        // cinnamon-session/org.cinnamon.SessionManager.xml, the same calls as above.
        {{QStringLiteral("X-Cinnamon"), QStringLiteral("Cinnamon")},
         QStringLiteral("org.cinnamon.SessionManager"),
         QStringLiteral("/org/cinnamon/SessionManager"),
         QStringLiteral("org.cinnamon.SessionManager"),
         {{QStringLiteral("RequestShutdown"), noArguments()}},
         {{QStringLiteral("RequestReboot"), noArguments()}},
         {{QStringLiteral("Logout"), {QVariant::fromValue(quint32{1})}}},
         QStringLiteral("SessionRunning")},
        // Deepin: startdde, session.go: RequestShutdown, RequestReboot and RequestLogout act at
        // once; Shutdown, Reboot and Logout would open its dialog instead.
        {{QStringLiteral("Deepin"), QStringLiteral("DDE")},
         QStringLiteral("com.deepin.SessionManager"),
         QStringLiteral("/com/deepin/SessionManager"),
         QStringLiteral("com.deepin.SessionManager"),
         {{QStringLiteral("RequestShutdown"), noArguments()}},
         {{QStringLiteral("RequestReboot"), noArguments()}},
         {{QStringLiteral("RequestLogout"), noArguments()}},
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
    // logind watches what it accepted itself.
    connect(fallback_.get(), &PowerPort::requestAccepted, this,
            [this](PowerAction action) { accept(action, nullptr); });
    connect(fallback_.get(), &PowerPort::requestRefused, this,
            [this](PowerAction action, const QString& reason) { fail(action, reason, false); });
    connect(fallback_.get(), &PowerPort::requestUnreachable, this,
            [this](PowerAction action, const QString& reason) { fail(action, reason, true); });
    // Either watch's word, logind's or this port's own, lets the next press through the gate.
    connect(fallback_.get(), &PowerPort::requestCancelled, this, &SessionManagerPowerPort::cancel);
    connect(&sessionEnd_, &SessionEndWatch::cancelled, this, &SessionManagerPowerPort::cancel);
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
    // A session bus that went away and came back is connected to again here.
    if (!bus_.connection().isConnected()) {
        fallback_->send(action);
        return;
    }
    tryCandidate(action, candidatesFor(action), 0);
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
void SessionManagerPowerPort::tryCandidate(PowerAction action, std::vector<Candidate> candidates,
                                           std::size_t next) {
    if (next >= candidates.size()) {
        fallback_->send(action);
        return;
    }
    const Candidate candidate = candidates[next];
    QDBusMessage message =
        QDBusMessage::createMethodCall(candidate.manager->service, candidate.manager->path,
                                       candidate.manager->interface, candidate.call->method);
    message.setArguments(candidate.call->arguments);
    // A session manager that is not running must not be started by asking it.
    message.setAutoStartService(false);
    QDBusConnection bus = bus_.connection();
    listenForCalledOff(bus, *candidate.manager);
    callInOrder(
        bus, message, kCallTimeoutMs, this,
        [this, action, candidates = std::move(candidates), next](const QDBusError& error) mutable {
            if (!error.isValid()) {
                accept(action, candidates[next].manager);
                return;
            }
            if (isServiceAbsent(error)) {
                const SessionManagerService* absent = candidates[next].manager;
                while (next < candidates.size() && candidates[next].manager == absent) ++next;
                tryCandidate(action, std::move(candidates), next);
                return;
            }
            if (isNotUnderstood(error)) {
                tryCandidate(action, std::move(candidates), next + 1);
                return;
            }
            fail(action, error.name() + QStringLiteral(": ") + error.message(),
                 isUnreachable(error));
        });
}

void SessionManagerPowerPort::accept(PowerAction action, const SessionManagerService* manager) {
    gate_.accepted(action);
    if (manager != nullptr) sessionEnd_.begin(action);
    emit requestAccepted(action);
}

void SessionManagerPowerPort::cancel(PowerAction action, const QString& reason) {
    gate_.refused(action);
    emit requestCancelled(action, reason);
}

void SessionManagerPowerPort::fail(PowerAction action, const QString& reason, bool unreachable) {
    gate_.refused(action);
    if (unreachable) {
        emit requestUnreachable(action, reason);
    } else {
        emit requestRefused(action, reason);
    }
}

// Before the call is sent: a session manager may call the end off right after its answer, before
// a subscription made on the answer would reach the bus. The watch heeds the word, from any
// manager asked, only once a request was accepted; Qt refuses a second connection to the same
// signal, so asking again adds nothing.
void SessionManagerPowerPort::listenForCalledOff(QDBusConnection& bus,
                                                 const SessionManagerService& manager) {
    if (manager.calledOffSignal.isEmpty()) return;
    bus.connect(manager.service, manager.path, manager.interface, manager.calledOffSignal, this,
                SLOT(sessionEndCalledOff()));
}

void SessionManagerPowerPort::sessionEndCalledOff() {
    sessionEnd_.calledOff(QStringLiteral("the session manager called the end of the session off"));
}

}  // namespace zeravan::platform
