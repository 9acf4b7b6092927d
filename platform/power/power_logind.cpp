// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "platform/power_logind.h"

#include "bus_call_in_order.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace zeravan::platform {

namespace {

const QString logindService = QStringLiteral("org.freedesktop.login1");
const QString managerPath = QStringLiteral("/org/freedesktop/login1");
const QString managerInterface = QStringLiteral("org.freedesktop.login1.Manager");

// The caller's own session, as logind resolves it.
const QString sessionPath = QStringLiteral("/org/freedesktop/login1/session/auto");
const QString sessionInterface = QStringLiteral("org.freedesktop.login1.Session");

// logind's answer to a request while one of the same kind is already under way: the first one
// was accepted, so this one counts as accepted too.
const QString operationInProgress = QStringLiteral("org.freedesktop.login1.OperationInProgress");

// Long enough for the user to type a password into polkit's dialog.
constexpr int requestTimeoutMs = 120'000;

QDBusMessage managerCall(const QString& method) {
    return QDBusMessage::createMethodCall(logindService, managerPath, managerInterface, method);
}

QDBusMessage callFor(PowerAction action) {
    switch (action) {
        case PowerAction::PowerOff:
            return managerCall(QStringLiteral("PowerOff")) << true;
        case PowerAction::Reboot:
            return managerCall(QStringLiteral("Reboot")) << true;
        case PowerAction::LogOff:
            return QDBusMessage::createMethodCall(logindService, sessionPath, sessionInterface,
                                                  QStringLiteral("Terminate"));
    }
    Q_UNREACHABLE();
}

PowerPermission permissionFrom(const QString& answer) {
    if (answer == QLatin1String("yes")) return PowerPermission::Yes;
    if (answer == QLatin1String("challenge")) return PowerPermission::Challenge;
    if (answer == QLatin1String("no")) return PowerPermission::No;
    return PowerPermission::NotApplicable;
}

}  // namespace

LogindPowerPort::LogindPowerPort(BusLink bus, QObject* parent, int permissionTimeoutMs)
    : PowerPort(parent), bus_(std::move(bus)), permissionTimeoutMs_(permissionTimeoutMs) {
    connect(&sessionEnd_, &SessionEndWatch::cancelled, this,
            [this](PowerAction action, const QString& reason) {
                gate_.refused(action);
                emit requestCancelled(action, reason);
            });
}

// logind checks the caller through polkit; there is nothing to enable beforehand.
void LogindPowerPort::enableShutdownPrivilege() {}

void LogindPowerPort::request(PowerAction action) {
    if (gate_.letThrough(*this, action)) send(action);
}

void LogindPowerPort::send(PowerAction action) {
    // A bus that went away and came back is connected to again here, in the shutdown second.
    QDBusConnection bus = bus_.connection();
    // Listened for before asking: logind may call the shutdown off right after its answer, before
    // a subscription made on the answer would reach the bus. A second one adds nothing (Qt
    // refuses to connect the same signal twice).
    bus.connect(logindService, managerPath, managerInterface, QStringLiteral("PrepareForShutdown"),
                this, SLOT(prepareForShutdown(bool)));
    // Even a call that fails at once reports through the event loop, so the outcome never
    // arrives before request() returns.
    callInOrder(bus, callFor(action), requestTimeoutMs, this,
                [this, action](const QDBusError& error) { finish(action, error); });
}

void LogindPowerPort::finish(PowerAction action, const QDBusError& error) {
    if (!error.isValid() || error.name() == operationInProgress) {
        gate_.accepted(action);
        sessionEnd_.begin(action, /*saysWhenCalledOff=*/true);
        emit requestTaken(action);
        emit requestAccepted(action);
        return;
    }
    gate_.refused(action);
    const QString reason = error.name() + QStringLiteral(": ") + error.message();
    if (isAnswerLost(error)) {
        emit requestLost(action, reason);
    } else if (isUnreachable(error)) {
        emit requestUnreachable(action, reason);
    } else {
        emit requestRefused(action, reason);
    }
}

// false: a shutdown that was under way is no longer.
void LogindPowerPort::prepareForShutdown(bool starting) {
    if (!starting) sessionEnd_.calledOff(QStringLiteral("logind: PrepareForShutdown(false)"));
}

void LogindPowerPort::askPowerOffPermission(QObject* context, PermissionAnswer answer) {
    QDBusConnection bus = bus_.connection();
    if (!bus.isConnected()) {
        QMetaObject::invokeMethod(
            context, [answer] { answer(PowerPermission::Unreachable); }, Qt::QueuedConnection);
        return;
    }
    auto* watcher = new QDBusPendingCallWatcher(
        bus.asyncCall(managerCall(QStringLiteral("CanPowerOff")), permissionTimeoutMs_), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [watcher] { watcher->deleteLater(); });
    connect(
        watcher, &QDBusPendingCallWatcher::finished, context,
        [answer](QDBusPendingCallWatcher* finished) {
            const QDBusPendingReply<QString> reply = *finished;
            // An error is no answer to the question, whatever its kind.
            answer(reply.isError() ? PowerPermission::Unreachable : permissionFrom(reply.value()));
        });
}

}  // namespace zeravan::platform
