#include "platform/power_logind.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>

namespace zeravan::platform {

namespace {

const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kManagerPath = QStringLiteral("/org/freedesktop/login1");
const QString kManagerInterface = QStringLiteral("org.freedesktop.login1.Manager");

// The caller's own session, as logind resolves it.
const QString kSessionPath = QStringLiteral("/org/freedesktop/login1/session/auto");
const QString kSessionInterface = QStringLiteral("org.freedesktop.login1.Session");

// Long enough for the user to type a password into polkit's dialog.
constexpr int kRequestTimeoutMs = 120'000;
// Asked on the GUI thread when arming, so a logind that does not answer must not freeze it long.
constexpr int kPermissionTimeoutMs = 2'000;

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

LogindPowerPort::LogindPowerPort(QDBusConnection bus, QObject* parent)
    : PowerPort(parent), bus_(std::move(bus)) {}

// logind checks the caller through polkit; there is nothing to enable beforehand.
void LogindPowerPort::enableShutdownPrivilege() {}

void LogindPowerPort::request(PowerAction action) {
    if (!pending_.insert(action).second) return;

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
    pending_.erase(action);
    if (error.isValid()) {
        emit requestRefused(action, error.name() + QStringLiteral(": ") + error.message());
    } else {
        emit requestAccepted(action);
    }
}

PowerPermission LogindPowerPort::powerOffPermission() {
    const QDBusMessage reply =
        bus_.call(managerCall(QStringLiteral("CanPowerOff")), QDBus::Block, kPermissionTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1) {
        return PowerPermission::NotApplicable;
    }
    return permissionFrom(reply.arguments().constFirst().toString());
}

}  // namespace zeravan::platform
