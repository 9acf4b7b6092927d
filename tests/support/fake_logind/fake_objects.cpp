// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "fake_objects.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QTimer>

namespace zeravan::test {

namespace {

QString flag(bool value) {
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

}  // namespace

bool FakePowerObject::answerPowerCall(const QString& logLine) {
    log_.write(logLine);
    QDBusMessage reply;
    bool accepted = false;
    if (!options_.refuse.isEmpty()) {
        reply =
            message().createErrorReply(options_.refuse, QStringLiteral("refused by fake_logind"));
    } else if (options_.operationInProgress && accepted_.count(logLine) != 0) {
        reply = message().createErrorReply(
            QStringLiteral("org.freedesktop.login1.OperationInProgress"),
            QStringLiteral("There's already a shutdown or sleep operation in progress"));
    } else {
        accepted_.insert(logLine);
        reply = message().createReply();
        accepted = true;
    }
    answerLater(reply, options_.delayMs);
    return accepted;
}

void FakePowerObject::answerLater(const QDBusMessage& reply, int delayMs) {
    setDelayedReply(true);
    if (options_.silent) return;
    // A timer, not a sleep: other calls keep being answered meanwhile.
    QTimer::singleShot(delayMs, this, [reply, bus = connection()] { bus.send(reply); });
}

void FakeManager::PowerOff(bool interactive) {
    if (answerPowerCall(QStringLiteral("PowerOff ") + flag(interactive))) announceShutdown();
}

void FakeManager::Reboot(bool interactive) {
    if (answerPowerCall(QStringLiteral("Reboot ") + flag(interactive))) announceShutdown();
}

void FakeManager::announceShutdown() {
    if (options_.callOffAfterMs < 0 || options_.silent) return;
    const auto prepare = [bus = connection()](bool starting) {
        bus.send(QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/login1"),
                                            QStringLiteral("org.freedesktop.login1.Manager"),
                                            QStringLiteral("PrepareForShutdown"))
                 << starting);
    };
    // Started after the reply's own timer of the same length, so it follows the reply.
    QTimer::singleShot(options_.delayMs, this, [this, prepare] {
        prepare(true);
        QTimer::singleShot(options_.callOffAfterMs, this, [prepare] { prepare(false); });
    });
}

QString FakeManager::CanPowerOff() {
    log_.write(QStringLiteral("CanPowerOff"));
    answerLater(message().createReply(options_.canPowerOff), options_.permissionDelayMs);
    return {};  // the delayed reply above is the answer
}

void FakeSession::Terminate() {
    answerPowerCall(QStringLiteral("Terminate auto"));
}

}  // namespace zeravan::test
