// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace zeravan::test {

// A dbus-daemon of the test's own, listening in a temporary directory; stopped on destruction.
// It starts a service on demand from a service file in serviceFolder(), which is empty at first:
// no real service is ever started.
class PrivateBus {
public:
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    // The socket it listens on, the same after restart(); empty when the daemon did not start,
    // and error() says why.
    QString address() const { return address_; }
    QString error() const { return error_; }
    QString serviceFolder() const { return dir_.filePath(QStringLiteral("services")); }

    // Points this process's system bus here; call before anything connects to it.
    void useAsSystemBus() const;

    // Kills the daemon, so that every connection to it is lost, and starts a fresh one at the
    // same address, as when the system's bus is restarted. False, with error(), when it did not
    // start again.
    bool restart();

private:
    bool start(const QString& address);
    bool writeConfig();

    QTemporaryDir dir_;
    QProcess daemon_;
    QString address_;
    QString error_;
};

}  // namespace zeravan::test
