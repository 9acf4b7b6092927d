// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace zeravan::test {

// A dbus-daemon of the test's own, listening in a temporary directory; stopped on destruction.
class PrivateBus {
public:
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    // Empty when the daemon did not start; error() says why.
    QString address() const { return address_; }
    QString error() const { return error_; }

    // Points this process's system bus here; call before anything connects to it.
    void useAsSystemBus() const;

private:
    QTemporaryDir dir_;
    QProcess daemon_;
    QString address_;
    QString error_;
};

}  // namespace zeravan::test
