// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include "private_bus.h"

namespace zeravan::test {

// A fake D-Bus service on a private bus, started with a --log file of its own and the given
// options (e.g. "--refuse=org.freedesktop.DBus.Error.AccessDenied", "--delay-ms=300"), seen as
// ready once it prints "ready"; stopped on destruction. `logindName` is the fake logind, with the
// bus as its system bus; its calls() read e.g. "PowerOff true", "Terminate auto",
// "CanPowerOff". Any other name is the session manager of that desktop ("gnome", "kde",
// "xfce" ...), with the bus as its session bus; its calls() read
// "<service> <method> <arguments>", e.g. "org.xfce.SessionManager Shutdown true".
// Started as `startedByBus`, it is not started here: a service file in the bus's service folder
// lets the bus start it when a call for that service name allows it.
class FakeService {
public:
    static inline const QString logindName = QStringLiteral("logind");

    FakeService(const PrivateBus& bus, const QString& name, const QStringList& options = {},
                const QString& startedByBus = {});
    ~FakeService();
    FakeService(const FakeService&) = delete;
    FakeService& operator=(const FakeService&) = delete;

    // True once it owns its name.
    bool isReady() const { return ready_; }
    // One line per call received so far.
    QStringList calls() const;

private:
    void writeServiceFile(const QString& program, const QStringList& arguments);
    void stopStartedByBus();

    QTemporaryDir dir_;
    QProcess process_;
    bool ready_ = false;
    QString busAddress_;
    QString serviceName_;  // of one started by the bus
    QString serviceFile_;
};

}  // namespace zeravan::test
