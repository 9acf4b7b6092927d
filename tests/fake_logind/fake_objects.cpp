#include "tests/fake_logind/fake_objects.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QTimer>

namespace zeravan::test {

namespace {

QString flag(bool value) {
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

}  // namespace

void FakePowerObject::answerPowerCall(const QString& logLine) {
    log_.write(logLine);
    setDelayedReply(true);
    const QDBusMessage reply =
        options_.refuse.isEmpty()
            ? message().createReply()
            : message().createErrorReply(options_.refuse, QStringLiteral("refused by fake_logind"));
    // A timer, not a sleep: other calls keep being answered meanwhile.
    QTimer::singleShot(options_.delayMs, this, [reply, bus = connection()] { bus.send(reply); });
}

void FakeManager::PowerOff(bool interactive) {
    answerPowerCall(QStringLiteral("PowerOff ") + flag(interactive));
}

void FakeManager::Reboot(bool interactive) {
    answerPowerCall(QStringLiteral("Reboot ") + flag(interactive));
}

QString FakeManager::CanPowerOff() {
    log_.write(QStringLiteral("CanPowerOff"));
    return options_.canPowerOff;
}

void FakeSession::Terminate() {
    answerPowerCall(QStringLiteral("Terminate auto"));
}

}  // namespace zeravan::test
