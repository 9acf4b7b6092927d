// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "platform/power_logind.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace zeravan::platform {

namespace {

const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kManagerPath = QStringLiteral("/org/freedesktop/login1");
const QString kManagerInterface = QStringLiteral("org.freedesktop.login1.Manager");

// The caller's own session, as logind resolves it.
const QString kSessionPath = QStringLiteral("/org/freedesktop/login1/session/auto");
const QString kSessionInterface = QStringLiteral("org.freedesktop.login1.Session");

// logind's answer to a request while one of the same kind is already under way: the first one
// was accepted, so this one counts as accepted too.
const QString kOperationInProgress = QStringLiteral("org.freedesktop.login1.OperationInProgress");

// Long enough for the user to type a password into polkit's dialog.
constexpr int kRequestTimeoutMs = 120'000;

QDBusMessage managerCall(const QString& method) {
    return QDBusMessage::createMethodCall(kService, kManagerPath, kManagerInterface, method);
}

QDBusMessage callFor(PowerAction action) {
    switch (action) {
        case PowerAction::PowerOff:
            return managerCall(QStringLiteral("PowerOff")) << true;
        case PowerAction::Reboot:
            return managerCall(QStringLiteral("Reboot")) << true;
        case PowerAction::LogOff:
            return QDBusMessage::createMethodCall(kService, kSessionPath, kSessionInterface,
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

LogindPowerPort::LogindPowerPort(QDBusConnection bus, QObject* parent, int permissionTimeoutMs)
    : PowerPort(parent), bus_(std::move(bus)), permissionTimeoutMs_(permissionTimeoutMs) {}

// logind checks the caller through polkit; there is nothing to enable beforehand.
void LogindPowerPort::enableShutdownPrivilege() {}

void LogindPowerPort::request(PowerAction action) {
    if (!gate_.letThrough(*this, action)) return;
    // Without a connection Qt hands back a call that never reports; refuse it the same way.
    if (!bus_.isConnected()) {
        const QDBusError error(QDBusError::Disconnected, bus_.lastError().message());
        QMetaObject::invokeMethod(
            this, [this, action, error] { finish(action, error); }, Qt::QueuedConnection);
        return;
    }
    // A call that fails at once still reports through the event loop, so the outcome never
    // arrives before request() returns.
    auto* watcher =
        new QDBusPendingCallWatcher(bus_.asyncCall(callFor(action), kRequestTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, action](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                finish(action, finished->error());
            });
}

void LogindPowerPort::finish(PowerAction action, const QDBusError& error) {
    if (error.isValid() && error.name() != kOperationInProgress) {
        gate_.refused(action);
        emit requestRefused(action, error.name() + QStringLiteral(": ") + error.message());
    } else {
        gate_.accepted(action);
        emit requestAccepted(action);
    }
}

void LogindPowerPort::askPowerOffPermission(QObject* context, PermissionAnswer answer) {
    if (!bus_.isConnected()) {
        QMetaObject::invokeMethod(
            context, [answer] { answer(PowerPermission::Unreachable); }, Qt::QueuedConnection);
        return;
    }
    auto* watcher = new QDBusPendingCallWatcher(
        bus_.asyncCall(managerCall(QStringLiteral("CanPowerOff")), permissionTimeoutMs_), this);
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
