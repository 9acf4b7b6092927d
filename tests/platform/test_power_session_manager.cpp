// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QSignalSpy>
#include <QTest>
#include <memory>
#include <optional>

#include "platform/power_logind.h"
#include "platform/power_session_manager.h"
#include "tests/support/fake_logind.h"
#include "tests/support/fake_session_manager.h"
#include "tests/support/private_bus.h"

namespace zeravan::test {

namespace {

using platform::LogindPowerPort;
using platform::PowerAction;
using platform::PowerPermission;
using platform::SessionManagerPowerPort;

const QStringList kSessionManagerNames{QStringLiteral("org.kde.Shutdown"),
                                       QStringLiteral("org.gnome.SessionManager"),
                                       QStringLiteral("org.xfce.SessionManager"),
                                       QStringLiteral("org.lxqt.session"),
                                       QStringLiteral("org.cinnamon.SessionManager"),
                                       QStringLiteral("com.deepin.SessionManager"),
                                       QStringLiteral("org.freedesktop.login1")};

}  // namespace

// The session manager port on one private bus that serves as both the session bus (the fake
// session managers) and the system bus (the fake logind).
class TestPowerSessionManager : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void eachDesktopGetsItsOwnCall_data();
    void eachDesktopGetsItsOwnCall();
    void refusalIsReportedAndNotPassedOn_data();
    void refusalIsReportedAndNotPassedOn();
    void withoutSessionManagerLogindIsAsked_data();
    void withoutSessionManagerLogindIsAsked();
    void logindRefusalIsReported();
    void currentDesktopIsAskedFirst_data();
    void currentDesktopIsAskedFirst();
    void repeatedPressesSendOneRequest();
    void permissionIsLogindsToGive();

private:
    QDBusConnection testBus() const;
    std::unique_ptr<SessionManagerPowerPort> makePort(const QString& currentDesktop = {}) const;

    std::unique_ptr<PrivateBus> bus_;
};

void TestPowerSessionManager::initTestCase() {
    qRegisterMetaType<PowerAction>();
    bus_ = std::make_unique<PrivateBus>();
    QVERIFY2(!bus_->address().isEmpty(), qPrintable(bus_->error()));
    bus_->useAsSystemBus();
    QVERIFY(testBus().isConnected());
}

// The fakes of the test before may still be leaving the bus.
void TestPowerSessionManager::init() {
    for (const QString& name : kSessionManagerNames) {
        QTRY_VERIFY(!testBus().interface()->isServiceRegistered(name).value());
    }
}

void TestPowerSessionManager::cleanupTestCase() {
    QDBusConnection::disconnectFromBus(QStringLiteral("session-test"));
    bus_.reset();
}

QDBusConnection TestPowerSessionManager::testBus() const {
    return QDBusConnection::connectToBus(bus_->address(), QStringLiteral("session-test"));
}

std::unique_ptr<SessionManagerPowerPort> TestPowerSessionManager::makePort(
    const QString& currentDesktop) const {
    return std::make_unique<SessionManagerPowerPort>(
        platform::BusLink::at(bus_->address()),
        std::make_unique<LogindPowerPort>(platform::BusLink::at(bus_->address())), currentDesktop);
}

void TestPowerSessionManager::eachDesktopGetsItsOwnCall_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<PowerAction>("action");
    QTest::addColumn<QString>("call");
    struct Row {
        const char* kind;
        const char* powerOff;
        const char* reboot;
        const char* logOff;
    };
    const Row rows[] = {
        {"kde", "org.kde.Shutdown logoutAndShutdown", "org.kde.Shutdown logoutAndReboot",
         "org.kde.Shutdown logout"},
        {"kde-ksmserver", "org.kde.ksmserver logout 0 2 -1", "org.kde.ksmserver logout 0 1 -1",
         "org.kde.ksmserver logout 0 0 -1"},
        {"gnome", "org.gnome.SessionManager Shutdown", "org.gnome.SessionManager Reboot",
         "org.gnome.SessionManager Logout 1"},
        {"mate", "org.gnome.SessionManager RequestShutdown",
         "org.gnome.SessionManager RequestReboot", "org.gnome.SessionManager Logout 1"},
        {"cinnamon", "org.gnome.SessionManager RequestShutdown",
         "org.gnome.SessionManager RequestReboot", "org.gnome.SessionManager Logout 1"},
        {"cinnamon-old", "org.cinnamon.SessionManager RequestShutdown",
         "org.cinnamon.SessionManager RequestReboot", "org.cinnamon.SessionManager Logout 1"},
        {"ukui", "org.gnome.SessionManager powerOff", "org.gnome.SessionManager reboot",
         "org.gnome.SessionManager logout"},
        {"xfce", "org.xfce.SessionManager Shutdown true", "org.xfce.SessionManager Restart true",
         "org.xfce.SessionManager Logout false true"},
        {"lxqt", "org.lxqt.session powerOff", "org.lxqt.session reboot", "org.lxqt.session logout"},
        {"deepin", "com.deepin.SessionManager RequestShutdown",
         "com.deepin.SessionManager RequestReboot", "com.deepin.SessionManager RequestLogout"},
    };
    for (const Row& row : rows) {
        const QByteArray kind(row.kind);
        QTest::newRow(kind + ", power off") << row.kind << PowerAction::PowerOff << row.powerOff;
        QTest::newRow(kind + ", reboot") << row.kind << PowerAction::Reboot << row.reboot;
        QTest::newRow(kind + ", log off") << row.kind << PowerAction::LogOff << row.logOff;
    }
}

// Found without any hint from XDG_CURRENT_DESKTOP, with the call that shows no dialog of its own
// where the desktop has one, and nothing for logind.
void TestPowerSessionManager::eachDesktopGetsItsOwnCall() {
    QFETCH(QString, kind);
    QFETCH(PowerAction, action);
    QFETCH(QString, call);
    FakeLogind logind(*bus_);
    FakeSessionManager manager(*bus_, kind);
    QVERIFY(logind.isReady() && manager.isReady());
    const auto port = makePort();
    QSignalSpy accepted(port.get(), &SessionManagerPowerPort::requestAccepted);
    QSignalSpy refused(port.get(), &SessionManagerPowerPort::requestRefused);

    port->request(action);
    QCOMPARE(accepted.count(), 0);  // the outcome comes later, never from inside request()
    QVERIFY(accepted.wait());
    QCOMPARE(accepted.takeFirst().at(0).value<PowerAction>(), action);
    QCOMPARE(refused.count(), 0);
    QCOMPARE(manager.calls(), QStringList{call});
    QVERIFY(logind.calls().isEmpty());
}

void TestPowerSessionManager::refusalIsReportedAndNotPassedOn_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("gnome") << "gnome";
    QTest::newRow("xfce") << "xfce";
}

void TestPowerSessionManager::refusalIsReportedAndNotPassedOn() {
    QFETCH(QString, kind);
    const QString error = QStringLiteral("org.freedesktop.DBus.Error.AccessDenied");
    FakeLogind logind(*bus_);
    FakeSessionManager manager(*bus_, kind, {QStringLiteral("--refuse=") + error});
    QVERIFY(logind.isReady() && manager.isReady());
    const auto port = makePort();
    QSignalSpy accepted(port.get(), &SessionManagerPowerPort::requestAccepted);
    QSignalSpy refused(port.get(), &SessionManagerPowerPort::requestRefused);

    port->request(PowerAction::PowerOff);
    QVERIFY(refused.wait());
    const QString reason = refused.takeFirst().at(1).toString();
    QVERIFY2(reason.startsWith(error + QStringLiteral(": ")), qPrintable(reason));
    QCOMPARE(manager.calls().size(), 1);
    QVERIFY(logind.calls().isEmpty());
    QCOMPARE(accepted.count(), 0);

    // A refusal ends the wait: the next press asks again.
    port->request(PowerAction::PowerOff);
    QVERIFY(refused.wait());
    QCOMPARE(manager.calls().size(), 2);
}

void TestPowerSessionManager::withoutSessionManagerLogindIsAsked_data() {
    QTest::addColumn<PowerAction>("action");
    QTest::addColumn<QString>("call");
    QTest::newRow("power off") << PowerAction::PowerOff << "PowerOff true";
    QTest::newRow("reboot") << PowerAction::Reboot << "Reboot true";
    QTest::newRow("log off") << PowerAction::LogOff << "Terminate auto";
}

void TestPowerSessionManager::withoutSessionManagerLogindIsAsked() {
    QFETCH(PowerAction, action);
    QFETCH(QString, call);
    FakeLogind logind(*bus_);
    QVERIFY(logind.isReady());
    const auto port = makePort(QStringLiteral("GNOME"));
    QSignalSpy accepted(port.get(), &SessionManagerPowerPort::requestAccepted);

    port->request(action);
    QVERIFY(accepted.wait());
    QCOMPARE(accepted.takeFirst().at(0).value<PowerAction>(), action);
    QCOMPARE(logind.calls(), QStringList{call});
}

void TestPowerSessionManager::logindRefusalIsReported() {
    FakeLogind logind(*bus_, {QStringLiteral("--refuse=org.freedesktop.DBus.Error.AccessDenied")});
    QVERIFY(logind.isReady());
    const auto port = makePort();
    QSignalSpy refused(port.get(), &SessionManagerPowerPort::requestRefused);

    port->request(PowerAction::PowerOff);
    QVERIFY(refused.wait());
    QVERIFY(refused.takeFirst().at(1).toString().startsWith(
        QStringLiteral("org.freedesktop.DBus.Error.AccessDenied")));
    QCOMPARE(logind.calls(), QStringList{QStringLiteral("PowerOff true")});
}

void TestPowerSessionManager::currentDesktopIsAskedFirst_data() {
    QTest::addColumn<QString>("currentDesktop");
    QTest::addColumn<bool>("xfceAsked");
    QTest::newRow("XFCE") << "XFCE" << true;
    QTest::newRow("KDE") << "KDE" << false;
    QTest::newRow("two names, XFCE's first") << "xfce:KDE" << true;
    QTest::newRow("none: the first known") << "" << false;
    QTest::newRow("unknown desktop") << "Hyprland" << false;
}

// With two session managers on the bus (one would not normally run both), the one of the
// current desktop gets the request.
void TestPowerSessionManager::currentDesktopIsAskedFirst() {
    QFETCH(QString, currentDesktop);
    QFETCH(bool, xfceAsked);
    FakeSessionManager kde(*bus_, QStringLiteral("kde"));
    FakeSessionManager xfce(*bus_, QStringLiteral("xfce"));
    QVERIFY(kde.isReady() && xfce.isReady());
    const auto port = makePort(currentDesktop);
    QSignalSpy accepted(port.get(), &SessionManagerPowerPort::requestAccepted);

    port->request(PowerAction::PowerOff);
    QVERIFY(accepted.wait());
    QCOMPARE(xfce.calls().size(), xfceAsked ? 1 : 0);
    QCOMPARE(kde.calls().size(), xfceAsked ? 0 : 1);
}

// The countdown presses ten times in the shutdown second: one request reaches the session.
void TestPowerSessionManager::repeatedPressesSendOneRequest() {
    FakeSessionManager manager(*bus_, QStringLiteral("gnome"));
    QVERIFY(manager.isReady());
    const auto port = makePort();
    QSignalSpy accepted(port.get(), &SessionManagerPowerPort::requestAccepted);

    for (int press = 0; press < 10; ++press) {
        port->request(PowerAction::PowerOff);
        QTest::qWait(100);
    }
    QTRY_VERIFY(accepted.count() >= 1);
    QCOMPARE(manager.calls(), QStringList{QStringLiteral("org.gnome.SessionManager Shutdown")});
}

void TestPowerSessionManager::permissionIsLogindsToGive() {
    FakeLogind logind(*bus_, {QStringLiteral("--can-power-off=challenge")});
    FakeSessionManager manager(*bus_, QStringLiteral("gnome"));
    QVERIFY(logind.isReady() && manager.isReady());
    const auto port = makePort();
    std::optional<PowerPermission> answer;
    port->askPowerOffPermission(this, [&answer](PowerPermission given) { answer = given; });
    QTRY_VERIFY(answer.has_value());
    QCOMPARE(*answer, PowerPermission::Challenge);
    QCOMPARE(logind.calls(), QStringList{QStringLiteral("CanPowerOff")});
    QVERIFY(manager.calls().isEmpty());
}

}  // namespace zeravan::test

QTEST_GUILESS_MAIN(zeravan::test::TestPowerSessionManager)
#include "test_power_session_manager.moc"
