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

#include "fake_service.h"
#include "platform/power_logind.h"
#include "private_bus.h"
#include "session_end_check.h"

namespace zeravan::test {

namespace {

using platform::LogindPowerPort;
using platform::PowerAction;
using platform::PowerPermission;

// The fake logind, and the name it owns on the bus.
const QString& logindName = FakeService::logindName;
const QString logindBusName = QStringLiteral("org.freedesktop.login1");

// Long enough to see a second press arrive while the first still waits.
const QString slowReply = QStringLiteral("--delay-ms=300");

// How long the session-end checks wait for what follows an accepted shutdown.
constexpr int shortSessionEndDeadlineMs = 800;

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

// Counts the turns of a 100 ms timer, which only come while the event loop runs.
class Ticker {
public:
    Ticker() {
        timer_.setInterval(100);
        QObject::connect(&timer_, &QTimer::timeout, [this] { ++ticks_; });
        timer_.start();
    }
    int ticks() const { return ticks_; }

private:
    QTimer timer_;
    int ticks_ = 0;
};

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

    void requestOutcomes_data();
    void requestOutcomes();
    void kindsAreIndependent();
    void acceptedShutdownIsWatched_data();
    void acceptedShutdownIsWatched();
    void unreachableLogindIsUnreachable_data();
    void unreachableLogindIsUnreachable();
    void answerLostWithTheBusIsNotKnown();
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
    QTRY_VERIFY(!testBus().interface()->isServiceRegistered(logindBusName).value());
}

// Each row: the fake logind's options, the presses of one kind (`atOnce` in a row, then one
// after each of `laterGapsMs` once the outcome before it is in), and how they end: the outcomes
// heard, refusals carrying `error`, and how often the call reached logind.
void TestPowerLogind::requestOutcomes_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<PowerAction>("action");
    QTest::addColumn<int>("atOnce");
    QTest::addColumn<QList<int>>("laterGapsMs");
    QTest::addColumn<int>("accepted");
    QTest::addColumn<QString>("error");
    QTest::addColumn<int>("sent");
    const QString inProgress = QStringLiteral("org.freedesktop.login1.OperationInProgress");
    const QStringList refusals{
        QStringLiteral("org.freedesktop.DBus.Error.AccessDenied"),
        QStringLiteral("org.freedesktop.DBus.Error.InteractiveAuthorizationRequired")};
    const QList<QPair<PowerAction, QByteArray>> actions{{PowerAction::PowerOff, "power off"},
                                                        {PowerAction::Reboot, "reboot"},
                                                        {PowerAction::LogOff, "log off"}};
    for (const auto& [action, name] : actions) {
        QTest::newRow("accepted, " + name)
            << QStringList{} << action << 1 << QList<int>{} << 1 << QString() << 1;
        QTest::newRow("pressed again while pending, " + name)
            << QStringList{slowReply} << action << 2 << QList<int>{} << 1 << QString() << 1;
        // The countdown presses up to ten times in the shutdown second: one request reaches
        // logind, and every press hears that it was accepted.
        QTest::newRow("pressed again once accepted, " + name)
            << QStringList{QStringLiteral("--operation-in-progress")} << action << 1
            << QList<int>(9, 100) << 10 << QString() << 1;
        QTest::newRow("operation in progress counts as accepted, " + name)
            << QStringList{QStringLiteral("--refuse=") + inProgress} << action << 1 << QList<int>{}
            << 1 << QString() << 1;
        // A refusal ends the wait: the next press asks again.
        for (const QString& error : refusals) {
            QTest::newRow("refused, " + error.section(u'.', -1).toUtf8() + ", " + name)
                << QStringList{QStringLiteral("--refuse=") + error} << action << 1 << QList<int>{0}
                << 0 << error << 2;
        }
    }
    // A shutdown accepted and then cancelled (in polkit's dialog, or by the session) must not
    // stop tomorrow's.
    QTest::newRow("accepted, pressed again later")
        << QStringList{} << PowerAction::PowerOff << 1 << QList<int>{3'200} << 2 << QString() << 2;
}

void TestPowerLogind::requestOutcomes() {
    QFETCH(QStringList, options);
    QFETCH(PowerAction, action);
    QFETCH(int, atOnce);
    QFETCH(QList<int>, laterGapsMs);
    QFETCH(int, accepted);
    QFETCH(QString, error);
    QFETCH(int, sent);
    FakeService logind(*bus_, logindName, options);
    QVERIFY(logind.isReady());
    LogindPowerPort port(testLink());
    QSignalSpy acceptances(&port, &LogindPowerPort::requestAccepted);
    QSignalSpy refusals(&port, &LogindPowerPort::requestRefused);
    const auto outcomes = [&] { return acceptances.count() + refusals.count(); };

    for (int press = 0; press < atOnce; ++press) port.request(action);
    QCOMPARE(outcomes(), 0);  // the outcome comes later, never from inside request()
    QTRY_COMPARE(outcomes(), 1);
    for (int gap : laterGapsMs) {
        QTest::qWait(gap);
        const int before = outcomes();
        port.request(action);
        QTRY_COMPARE(outcomes(), before + 1);
    }

    QCOMPARE(acceptances.count(), accepted);
    for (const QList<QVariant>& outcome : acceptances) {
        QCOMPARE(outcome.at(0).value<PowerAction>(), action);
    }
    for (const QList<QVariant>& outcome : refusals) {
        QCOMPARE(outcome.at(0).value<PowerAction>(), action);
        QVERIFY2(outcome.at(1).toString().startsWith(error + QStringLiteral(": ")),
                 qPrintable(outcome.at(1).toString()));
    }
    QCOMPARE(logind.calls(), QStringList(sent, callOf(action)));
}

void TestPowerLogind::kindsAreIndependent() {
    FakeService logind(*bus_, logindName, {slowReply});
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
    // PrepareForShutdown(true) at once, and false only long after the test: logind has its
    // word for a call-off, so no deadline tells anything.
    QTest::newRow("logind begins and keeps running")
        << QStringList{QStringLiteral("--call-off-after-ms=60000")} << SessionEnd::Pending;
    QTest::newRow("port gone before PrepareForShutdown(false)") << callOff << SessionEnd::PortGone;
}

void TestPowerLogind::acceptedShutdownIsWatched() {
    QFETCH(QStringList, options);
    QFETCH(SessionEnd, expected);
    FakeService logind(*bus_, logindName, options);
    QVERIFY(logind.isReady());
    std::unique_ptr<platform::PowerPort> port = std::make_unique<LogindPowerPort>(testLink());

    checkSessionEndWatch(port, expected, shortSessionEndDeadlineMs);
    if (QTest::currentTestFailed()) return;
    QCOMPARE(logind.calls().size(), expected == SessionEnd::CalledOff ? 2 : 1);
}

void TestPowerLogind::unreachableLogindIsUnreachable_data() {
    QTest::addColumn<bool>("connected");
    QTest::addColumn<QString>("error");
    QTest::newRow("no logind on the bus")
        << true << QStringLiteral("org.freedesktop.DBus.Error.ServiceUnknown");
    QTest::newRow("bus gone") << false << QStringLiteral("org.freedesktop.DBus.Error.NoServer");
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

// The bus daemon ends (an update of the system bus) while logind's answer is on its way: logind
// may well have the request, so it is not told as out of reach.
void TestPowerLogind::answerLostWithTheBusIsNotKnown() {
    PrivateBus bus;
    QVERIFY2(!bus.address().isEmpty(), qPrintable(bus.error()));
    FakeService logind(bus, logindName, {QStringLiteral("--delay-ms=3000")});
    QVERIFY(logind.isReady());
    LogindPowerPort port(platform::BusLink::at(bus.address()));
    QSignalSpy lost(&port, &LogindPowerPort::requestLost);
    QSignalSpy unreachable(&port, &LogindPowerPort::requestUnreachable);

    port.request(PowerAction::PowerOff);
    QTRY_COMPARE(logind.calls(), QStringList{QStringLiteral("PowerOff true")});
    QVERIFY2(bus.restart(), qPrintable(bus.error()));
    QVERIFY(lost.wait());
    QVERIFY2(lost.first().at(1).toString().startsWith(
                 QStringLiteral("org.freedesktop.DBus.Error.Disconnected")),
             qPrintable(lost.first().at(1).toString()));
    QCOMPARE(unreachable.count(), 0);
}

void TestPowerLogind::slowReplyKeepsEventLoopRunning() {
    FakeService logind(*bus_, logindName, {QStringLiteral("--delay-ms=2000")});
    QVERIFY(logind.isReady());
    LogindPowerPort port(testLink());
    QSignalSpy accepted(&port, &LogindPowerPort::requestAccepted);
    const Ticker ticker;

    QElapsedTimer requestTime;
    requestTime.start();
    port.request(PowerAction::PowerOff);
    QVERIFY(requestTime.elapsed() < 500);
    QVERIFY(accepted.wait(10'000));
    QVERIFY2(ticker.ticks() >= 15, qPrintable(QString::number(ticker.ticks())));
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
    FakeService logind(*bus_, logindName, {QStringLiteral("--can-power-off=") + answer});
    QVERIFY(logind.isReady());
    LogindPowerPort port(testLink());

    QCOMPARE(askPermission(port), permission);
    QCOMPARE(logind.calls(), QStringList{QStringLiteral("CanPowerOff")});
}

// A logind that takes its time is no refusal, and the window is not held up meanwhile.
void TestPowerLogind::slowPermissionKeepsEventLoopRunning() {
    FakeService logind(*bus_, logindName, {QStringLiteral("--permission-delay-ms=3000")});
    QVERIFY(logind.isReady());
    LogindPowerPort port(testLink());
    const Ticker ticker;

    QElapsedTimer asked;
    asked.start();
    QCOMPARE(askPermission(port, 10'000), PowerPermission::Yes);
    QVERIFY2(asked.elapsed() >= 2'500, qPrintable(QString::number(asked.elapsed())));
    QVERIFY2(ticker.ticks() >= 25, qPrintable(QString::number(ticker.ticks())));
}

void TestPowerLogind::silentLogindIsUnreachable() {
    FakeService logind(*bus_, logindName, {QStringLiteral("--silent")});
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
    FakeService logind(*bus_, logindName, {QStringLiteral("--unreachable")});
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
    FakeService logind(*bus_, logindName, {QStringLiteral("--permission-delay-ms=200")});
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
    FakeService logind(*bus_, logindName);
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
