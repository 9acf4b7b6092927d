// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <memory>
#include <optional>

#include "fake_logind.h"
#include "platform/power_logind.h"
#include "private_bus.h"
#include "session_end_check.h"

namespace zeravan::test {

namespace {

using platform::LogindPowerPort;
using platform::PowerAction;
using platform::PowerPermission;

const QString kLogind = QStringLiteral("org.freedesktop.login1");

// Long enough to see a second press arrive while the first still waits.
const QString kSlowReply = QStringLiteral("--delay-ms=300");

// How long an accepted shutdown is watched before it counts as come to nothing.
constexpr int kSessionEndDeadlineMs = 800;

QString callOf(PowerAction action) {
    switch (action) {
        case PowerAction::PowerOff:
            return QStringLiteral("PowerOff true");
        case PowerAction::Reboot:
            return QStringLiteral("Reboot true");
        case PowerAction::LogOff:
            return QStringLiteral("Terminate auto");
    }
    Q_UNREACHABLE();
}

// Asks the port and spins the event loop until the answer comes; empty if it never does.
std::optional<PowerPermission> askPermission(LogindPowerPort& port, int waitMs = 5'000) {
    std::optional<PowerPermission> answer;
    QObject context;
    port.askPowerOffPermission(&context, [&answer](PowerPermission given) { answer = given; });
    QDeadlineTimer deadline(waitMs);
    while (!answer && !deadline.hasExpired()) QTest::qWait(10);
    return answer;
}

}  // namespace

class TestPowerLogind : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void requestsAreSentAndAccepted_data();
    void requestsAreSentAndAccepted();
    void pendingRequestIsNotSentAgain_data();
    void pendingRequestIsNotSentAgain();
    void acceptedRequestIsNotSentAgainAtOnce_data();
    void acceptedRequestIsNotSentAgainAtOnce();
    void acceptedRequestIsSentAgainLater();
    void operationInProgressCountsAsAccepted_data();
    void operationInProgressCountsAsAccepted();
    void kindsAreIndependent();
    void acceptedShutdownIsWatched_data();
    void acceptedShutdownIsWatched();
    void refusalsCarryTheErrorName_data();
    void refusalsCarryTheErrorName();
    void unreachableLogindIsUnreachable_data();
    void unreachableLogindIsUnreachable();
    void slowReplyKeepsEventLoopRunning();
    void powerOffPermissionFollowsCanPowerOff_data();
    void powerOffPermissionFollowsCanPowerOff();
    void slowPermissionKeepsEventLoopRunning();
    void silentLogindIsUnreachable();
    void logindNotOnTheBusIsUnreachable();
    void busGoneIsUnreachable();
    void permissionAnswerForAContextGoneIsDropped();
    void enablingShutdownPrivilegeSendsNothing();

private:
    QDBusConnection testBus() const;
    platform::BusLink testLink() const { return platform::BusLink::at(bus_->address()); }
    void waitUntilLogindIsGone() const;

    std::unique_ptr<PrivateBus> bus_;
};

void TestPowerLogind::initTestCase() {
    qRegisterMetaType<PowerAction>();
    bus_ = std::make_unique<PrivateBus>();
    QVERIFY2(!bus_->address().isEmpty(), qPrintable(bus_->error()));
    // Anything that asks for the system bus in this process lands on the test's own.
    bus_->useAsSystemBus();
    QVERIFY(testBus().isConnected());
}

void TestPowerLogind::cleanupTestCase() {
    QDBusConnection::disconnectFromBus(QStringLiteral("power-test"));
    bus_.reset();
}

QDBusConnection TestPowerLogind::testBus() const {
    return QDBusConnection::connectToBus(bus_->address(), QStringLiteral("power-test"));
}

// The fake of the test before may still be leaving the bus.
void TestPowerLogind::waitUntilLogindIsGone() const {
    QTRY_VERIFY(!testBus().interface()->isServiceRegistered(kLogind).value());
}

void TestPowerLogind::requestsAreSentAndAccepted_data() {
    QTest::addColumn<PowerAction>("action");
    QTest::newRow("power off") << PowerAction::PowerOff;
    QTest::newRow("reboot") << PowerAction::Reboot;
    QTest::newRow("log off") << PowerAction::LogOff;
}

void TestPowerLogind::requestsAreSentAndAccepted() {
    QFETCH(PowerAction, action);
    FakeLogind logind(*bus_);
    QVERIFY(logind.isReady());
    LogindPowerPort port(testLink());
    QSignalSpy accepted(&port, &LogindPowerPort::requestAccepted);
    QSignalSpy refused(&port, &LogindPowerPort::requestRefused);

    port.request(action);
    QCOMPARE(accepted.count(), 0);  // the outcome comes later, never from inside request()
    QVERIFY(accepted.wait());
    QCOMPARE(accepted.takeFirst().at(0).value<PowerAction>(), action);
    QCOMPARE(refused.count(), 0);
    QCOMPARE(logind.calls(), QStringList{callOf(action)});
}

void TestPowerLogind::pendingRequestIsNotSentAgain_data() {
    requestsAreSentAndAccepted_data();
}

void TestPowerLogind::pendingRequestIsNotSentAgain() {
    QFETCH(PowerAction, action);
    FakeLogind logind(*bus_, {kSlowReply});
    QVERIFY(logind.isReady());
    LogindPowerPort port(testLink());
    QSignalSpy accepted(&port, &LogindPowerPort::requestAccepted);

    port.request(action);
    port.request(action);
    QVERIFY(accepted.wait());
    QCOMPARE(accepted.count(), 1);
    QCOMPARE(logind.calls(), QStringList{callOf(action)});
}

void TestPowerLogind::acceptedRequestIsNotSentAgainAtOnce_data() {
    requestsAreSentAndAccepted_data();
}

// The countdown presses up to ten times in the shutdown second: one request reaches logind, and
// every press hears that it was accepted.
void TestPowerLogind::acceptedRequestIsNotSentAgainAtOnce() {
    QFETCH(PowerAction, action);
    FakeLogind logind(*bus_, {QStringLiteral("--operation-in-progress")});
    QVERIFY(logind.isReady());
    LogindPowerPort port(testLink());
    QSignalSpy accepted(&port, &LogindPowerPort::requestAccepted);
    QSignalSpy refused(&port, &LogindPowerPort::requestRefused);

    port.request(action);
    QVERIFY(accepted.wait());
    for (int press = 0; press < 9; ++press) {
        QTest::qWait(100);
        port.request(action);
    }
    QTRY_COMPARE(accepted.count(), 10);
    QCOMPARE(refused.count(), 0);
    QCOMPARE(logind.calls(), QStringList{callOf(action)});
}

// A shutdown accepted and then cancelled (in polkit's dialog, or by the session) must not stop
// tomorrow's.
void TestPowerLogind::acceptedRequestIsSentAgainLater() {
    FakeLogind logind(*bus_);
    QVERIFY(logind.isReady());
    LogindPowerPort port(testLink());
    QSignalSpy accepted(&port, &LogindPowerPort::requestAccepted);

    port.request(PowerAction::PowerOff);
    QVERIFY(accepted.wait());
    QTest::qWait(3'200);
    port.request(PowerAction::PowerOff);
    QVERIFY(accepted.wait());
    QCOMPARE(logind.calls(), QStringList(2, callOf(PowerAction::PowerOff)));
}

void TestPowerLogind::operationInProgressCountsAsAccepted_data() {
    requestsAreSentAndAccepted_data();
}

void TestPowerLogind::operationInProgressCountsAsAccepted() {
    QFETCH(PowerAction, action);
    FakeLogind logind(*bus_,
                      {QStringLiteral("--refuse=org.freedesktop.login1.OperationInProgress")});
    QVERIFY(logind.isReady());
    LogindPowerPort port(testLink());
    QSignalSpy accepted(&port, &LogindPowerPort::requestAccepted);
    QSignalSpy refused(&port, &LogindPowerPort::requestRefused);

    port.request(action);
    QVERIFY(accepted.wait());
    QCOMPARE(accepted.takeFirst().at(0).value<PowerAction>(), action);
    QCOMPARE(refused.count(), 0);
}

void TestPowerLogind::kindsAreIndependent() {
    FakeLogind logind(*bus_, {kSlowReply});
    QVERIFY(logind.isReady());
    LogindPowerPort port(testLink());
    QSignalSpy accepted(&port, &LogindPowerPort::requestAccepted);

    port.request(PowerAction::PowerOff);
    port.request(PowerAction::Reboot);
    port.request(PowerAction::LogOff);
    QTRY_COMPARE(accepted.count(), 3);
    QStringList calls = logind.calls();
    calls.sort();
    QCOMPARE(calls, (QStringList{QStringLiteral("PowerOff true"), QStringLiteral("Reboot true"),
                                 QStringLiteral("Terminate auto")}));
}

void TestPowerLogind::acceptedShutdownIsWatched_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<SessionEnd>("expected");
    const QStringList callOff{QStringLiteral("--call-off-after-ms=150")};
    QTest::newRow("PrepareForShutdown(false)") << callOff << SessionEnd::CalledOff;
    QTest::newRow("PrepareForShutdown(false) at once")
        << QStringList{QStringLiteral("--call-off-after-ms=0")} << SessionEnd::CalledOff;
    // PrepareForShutdown(true) at once, and false only long after the test.
    QTest::newRow("logind begins and keeps running")
        << QStringList{QStringLiteral("--call-off-after-ms=60000")} << SessionEnd::StillRunning;
    QTest::newRow("port gone before PrepareForShutdown(false)") << callOff << SessionEnd::PortGone;
}

void TestPowerLogind::acceptedShutdownIsWatched() {
    QFETCH(QStringList, options);
    QFETCH(SessionEnd, expected);
    FakeLogind logind(*bus_, options);
    QVERIFY(logind.isReady());
    std::unique_ptr<platform::PowerPort> port = std::make_unique<LogindPowerPort>(
        testLink(), nullptr, LogindPowerPort::kPermissionTimeoutMs, kSessionEndDeadlineMs);

    checkSessionEndWatch(port, expected, kSessionEndDeadlineMs);
    if (QTest::currentTestFailed()) return;
    QCOMPARE(logind.calls().size(), expected == SessionEnd::PortGone ? 1 : 2);
}

void TestPowerLogind::refusalsCarryTheErrorName_data() {
    QTest::addColumn<PowerAction>("action");
    QTest::addColumn<QString>("error");
    const QStringList errors{
        QStringLiteral("org.freedesktop.DBus.Error.AccessDenied"),
        QStringLiteral("org.freedesktop.DBus.Error.InteractiveAuthorizationRequired")};
    for (const QString& error : errors) {
        const QByteArray name = error.section(u'.', -1).toUtf8();
        QTest::newRow("power off, " + name) << PowerAction::PowerOff << error;
        QTest::newRow("reboot, " + name) << PowerAction::Reboot << error;
        QTest::newRow("log off, " + name) << PowerAction::LogOff << error;
    }
}

void TestPowerLogind::refusalsCarryTheErrorName() {
    QFETCH(PowerAction, action);
    QFETCH(QString, error);
    FakeLogind logind(*bus_, {QStringLiteral("--refuse=") + error});
    QVERIFY(logind.isReady());
    LogindPowerPort port(testLink());
    QSignalSpy accepted(&port, &LogindPowerPort::requestAccepted);
    QSignalSpy refused(&port, &LogindPowerPort::requestRefused);

    port.request(action);
    QVERIFY(refused.wait());
    const QList<QVariant> outcome = refused.takeFirst();
    QCOMPARE(outcome.at(0).value<PowerAction>(), action);
    QVERIFY2(outcome.at(1).toString().startsWith(error + QStringLiteral(": ")),
             qPrintable(outcome.at(1).toString()));
    QCOMPARE(accepted.count(), 0);

    // A refusal ends the wait: the next press asks again.
    port.request(action);
    QVERIFY(refused.wait());
    QCOMPARE(logind.calls(), QStringList(2, callOf(action)));
}

void TestPowerLogind::unreachableLogindIsUnreachable_data() {
    QTest::addColumn<bool>("connected");
    QTest::addColumn<QString>("error");
    QTest::newRow("no logind on the bus")
        << true << QStringLiteral("org.freedesktop.DBus.Error.ServiceUnknown");
    QTest::newRow("bus gone") << false << QStringLiteral("org.freedesktop.DBus.Error.Disconnected");
}

// Nobody said no: the words for it are not a refusal's.
void TestPowerLogind::unreachableLogindIsUnreachable() {
    QFETCH(bool, connected);
    QFETCH(QString, error);
    waitUntilLogindIsGone();
    const QTemporaryDir nowhere;
    LogindPowerPort port(
        connected ? testLink()
                  : platform::BusLink::at(QStringLiteral("unix:path=") + nowhere.filePath("bus")));
    QSignalSpy refused(&port, &LogindPowerPort::requestRefused);
    QSignalSpy unreachable(&port, &LogindPowerPort::requestUnreachable);

    port.request(PowerAction::PowerOff);
    QCOMPARE(unreachable.count(), 0);
    QVERIFY(unreachable.wait());
    const QString reason = unreachable.takeFirst().at(1).toString();
    QVERIFY2(reason.startsWith(error), qPrintable(reason));
    QCOMPARE(refused.count(), 0);
}

void TestPowerLogind::slowReplyKeepsEventLoopRunning() {
    FakeLogind logind(*bus_, {QStringLiteral("--delay-ms=2000")});
    QVERIFY(logind.isReady());
    LogindPowerPort port(testLink());
    QSignalSpy accepted(&port, &LogindPowerPort::requestAccepted);
    int ticks = 0;
    QTimer ticker;
    ticker.setInterval(100);
    connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
    ticker.start();

    QElapsedTimer requestTime;
    requestTime.start();
    port.request(PowerAction::PowerOff);
    QVERIFY(requestTime.elapsed() < 500);
    QVERIFY(accepted.wait(10'000));
    QVERIFY2(ticks >= 15, qPrintable(QString::number(ticks)));
}

void TestPowerLogind::powerOffPermissionFollowsCanPowerOff_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<PowerPermission>("permission");
    QTest::newRow("yes") << "yes" << PowerPermission::Yes;
    QTest::newRow("challenge") << "challenge" << PowerPermission::Challenge;
    QTest::newRow("no") << "no" << PowerPermission::No;
    QTest::newRow("na") << "na" << PowerPermission::NotApplicable;
    QTest::newRow("unknown answer") << "perhaps" << PowerPermission::NotApplicable;
}

void TestPowerLogind::powerOffPermissionFollowsCanPowerOff() {
    QFETCH(QString, answer);
    QFETCH(PowerPermission, permission);
    FakeLogind logind(*bus_, {QStringLiteral("--can-power-off=") + answer});
    QVERIFY(logind.isReady());
    LogindPowerPort port(testLink());

    QCOMPARE(askPermission(port), permission);
    QCOMPARE(logind.calls(), QStringList{QStringLiteral("CanPowerOff")});
}

// A logind that takes its time is no refusal, and the window is not held up meanwhile.
void TestPowerLogind::slowPermissionKeepsEventLoopRunning() {
    FakeLogind logind(*bus_, {QStringLiteral("--permission-delay-ms=3000")});
    QVERIFY(logind.isReady());
    LogindPowerPort port(testLink());
    int ticks = 0;
    QTimer ticker;
    ticker.setInterval(100);
    connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
    ticker.start();

    QElapsedTimer asked;
    asked.start();
    QCOMPARE(askPermission(port, 10'000), PowerPermission::Yes);
    QVERIFY2(asked.elapsed() >= 2'500, qPrintable(QString::number(asked.elapsed())));
    QVERIFY2(ticks >= 25, qPrintable(QString::number(ticks)));
}

void TestPowerLogind::silentLogindIsUnreachable() {
    FakeLogind logind(*bus_, {QStringLiteral("--silent")});
    QVERIFY(logind.isReady());
    LogindPowerPort port(testLink(), nullptr, 1'000);

    QElapsedTimer asked;
    asked.start();
    QCOMPARE(askPermission(port), PowerPermission::Unreachable);
    QVERIFY2(asked.elapsed() >= 900, qPrintable(QString::number(asked.elapsed())));
    QCOMPARE(logind.calls(), QStringList{QStringLiteral("CanPowerOff")});
}

void TestPowerLogind::logindNotOnTheBusIsUnreachable() {
    waitUntilLogindIsGone();
    FakeLogind logind(*bus_, {QStringLiteral("--unreachable")});
    QVERIFY(logind.isReady());
    LogindPowerPort port(testLink());
    QCOMPARE(askPermission(port, 1'000), PowerPermission::Unreachable);
    QVERIFY(logind.calls().isEmpty());
}

void TestPowerLogind::busGoneIsUnreachable() {
    const QTemporaryDir nowhere;
    LogindPowerPort port(
        platform::BusLink::at(QStringLiteral("unix:path=") + nowhere.filePath("bus")));
    QCOMPARE(askPermission(port, 1'000), PowerPermission::Unreachable);
}

void TestPowerLogind::permissionAnswerForAContextGoneIsDropped() {
    FakeLogind logind(*bus_, {QStringLiteral("--permission-delay-ms=200")});
    QVERIFY(logind.isReady());
    LogindPowerPort port(testLink());
    bool answered = false;
    {
        QObject context;
        port.askPowerOffPermission(&context, [&answered](PowerPermission) { answered = true; });
    }
    QTest::qWait(600);
    QVERIFY(!answered);
}

void TestPowerLogind::enablingShutdownPrivilegeSendsNothing() {
    FakeLogind logind(*bus_);
    QVERIFY(logind.isReady());
    LogindPowerPort port(testLink());
    QSignalSpy accepted(&port, &LogindPowerPort::requestAccepted);
    QSignalSpy refused(&port, &LogindPowerPort::requestRefused);

    port.enableShutdownPrivilege();
    // A CanPowerOff round trip behind it shows nothing was sent before.
    QVERIFY(askPermission(port));
    QCOMPARE(logind.calls(), QStringList{QStringLiteral("CanPowerOff")});
    QCOMPARE(accepted.count() + refused.count(), 0);
}

}  // namespace zeravan::test

QTEST_GUILESS_MAIN(zeravan::test::TestPowerLogind)
#include "test_power_logind.moc"
