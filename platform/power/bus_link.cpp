// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "platform/bus_link.h"

#include <QAtomicInt>
#include <utility>

namespace zeravan::platform {

namespace {

// Qt names every connection; each link's connections get names of their own.
QString freshName() {
    static QAtomicInt made;
    return QStringLiteral("zeravan-bus-%1").arg(made.fetchAndAddRelaxed(1));
}

}  // namespace

BusLink::BusLink(Connect connect) : connect_(std::move(connect)) {}

BusLink::BusLink(BusLink&& other) noexcept
    : connect_(std::move(other.connect_)), name_(std::exchange(other.name_, {})) {}

BusLink::~BusLink() {
    if (!name_.isEmpty()) QDBusConnection::disconnectFromBus(name_);
}

BusLink BusLink::system() {
    return BusLink([](const QString& name) {
        return QDBusConnection::connectToBus(QDBusConnection::SystemBus, name);
    });
}

BusLink BusLink::session() {
    return BusLink([](const QString& name) {
        return QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
    });
}

BusLink BusLink::at(const QString& address) {
    return BusLink(
        [address](const QString& name) { return QDBusConnection::connectToBus(address, name); });
}

QDBusConnection BusLink::connection() {
    if (!name_.isEmpty()) {
        QDBusConnection current(name_);
        if (current.isConnected()) return current;
        QDBusConnection::disconnectFromBus(name_);
    }
    name_ = freshName();
    return connect_(name_);
}

bool isServiceAbsent(const QDBusError& error) {
    return error.type() == QDBusError::ServiceUnknown ||
           error.name() == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner") ||
           error.name().startsWith(QLatin1String("org.freedesktop.DBus.Error.Spawn."));
}

bool isUnreachable(const QDBusError& error) {
    return error.type() == QDBusError::NoServer || isServiceAbsent(error);
}

bool isAnswerLost(const QDBusError& error) {
    switch (error.type()) {
        case QDBusError::Disconnected:
        case QDBusError::NoReply:
        case QDBusError::Timeout:
        case QDBusError::TimedOut:
            return true;
        default:
            return false;
    }
}

}  // namespace zeravan::platform
