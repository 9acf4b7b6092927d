// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// A bus connection that is made again once the bus was lost.
#pragma once

#include <QDBusConnection>
#include <QDBusError>
#include <QString>
#include <functional>

namespace zeravan::platform {

// A connection to one bus that is made again once the old one was lost: a bus daemon that was
// restarted at the same address (the system bus after an update) is reached again, where Qt's
// own connection would stay dead for good.
class BusLink {
public:
    static BusLink system();
    static BusLink session();
    static BusLink at(const QString& address);

    BusLink(BusLink&& other) noexcept;
    BusLink& operator=(BusLink&&) = delete;
    BusLink(const BusLink&) = delete;
    BusLink& operator=(const BusLink&) = delete;
    ~BusLink();

    // The live connection, connecting anew first when the last one was lost; one that is not
    // connected when the bus cannot be reached now.
    QDBusConnection connection();

private:
    using Connect = std::function<QDBusConnection(const QString& name)>;
    explicit BusLink(Connect connect);

    Connect connect_;
    QString name_;  // of the connection now in use; empty before the first
};

// Nobody owns the service's name: it is not running. Without auto-start the bus says
// NameHasNoOwner, which Qt has no type for; a service the bus was to start says Spawn.* when it
// could not be started.
bool isServiceAbsent(const QDBusError& error);

// Nobody could be asked: there was no bus to send the call on, or no such service on it.
bool isUnreachable(const QDBusError& error);

// The call was sent and its answer is lost: the bus or the service went away while it was
// waited for (Disconnected, NoReply), or it did not come in time. The service may have the
// request: nobody can say.
bool isAnswerLost(const QDBusError& error);

}  // namespace zeravan::platform
