// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QDBusContext>
#include <QObject>
#include <set>

#include "call_log.h"
#include "fake_options.h"

namespace zeravan::test {

// Writes each power call down, then answers it as the options say, after their delay.
// Q_OBJECT here lets Qt D-Bus find the QDBusContext part through qt_metacast.
class FakePowerObject : public QObject, protected QDBusContext {
    Q_OBJECT
public:
    FakePowerObject(const FakeOptions& options, CallLog& log) : options_(options), log_(log) {}

protected:
    // True when the call is accepted.
    bool answerPowerCall(const QString& logLine);
    // Sends `reply` to the call being handled after `delayMs`, or never when silent.
    void answerLater(const QDBusMessage& reply, int delayMs);

    const FakeOptions& options_;
    CallLog& log_;

private:
    std::set<QString> accepted_;
};

class FakeManager final : public FakePowerObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public:
    using FakePowerObject::FakePowerObject;

public slots:
    void PowerOff(bool interactive);
    void Reboot(bool interactive);
    QString CanPowerOff();

private:
    // As logind around an accepted shutdown that is then called off.
    void announceShutdown();
};

class FakeSession final : public FakePowerObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Session")
public:
    using FakePowerObject::FakePowerObject;

public slots:
    void Terminate();
};

}  // namespace zeravan::test
