// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <memory>
#include <optional>

#include "app/forms/qt_text.h"
#include "engine/texts.h"
#include "fake_service.h"
#include "harness.h"
#include "platform/power_logind.h"
#include "platform/power_session_manager.h"
#include "private_bus.h"
#include "session_end_check.h"

namespace zeravan::test {

namespace {

using platform::LogindPowerPort;
using platform::PowerAction;
using platform::PowerPermission;
using platform::PowerPort;
using platform::SessionEndWatch;
using platform::SessionManagerPowerPort;

const QString& logindName = FakeService::logindName;

// How long an accepted request is watched before it counts as overdue.
constexpr int shortSessionEndDeadlineMs = 800;
const QString callOffOption = QStringLiteral("--call-off-after-ms=150");

const QStringList sessionManagerNames{
    QStringLiteral("org.kde.Shutdown"),          QStringLiteral("org.kde.ksmserver"),
    QStringLiteral("org.gnome.SessionManager"),  QStringLiteral("org.xfce.SessionManager"),
    QStringLiteral("org.lxqt.session"),          QStringLiteral("org.cinnamon.SessionManager"),
    QStringLiteral("com.deepin.SessionManager"), QStringLiteral("org.freedesktop.login1")};

// The port on `bus` as both its session and its system bus, with logind as its fallback.
std::unique_ptr<PowerPort> makePort(
    const PrivateBus& bus, const QString& currentDesktop = {},
    int sessionEndDeadlineMs = platform::defaultSessionEndDeadlineMs) {
    return std::make_unique<SessionManagerPowerPort>(
        platform::BusLink::at(bus.address()),
        std::make_unique<LogindPowerPort>(platform::BusLink::at(bus.address())), currentDesktop,
        nullptr, sessionEndDeadlineMs);
}

// A fake logind, and the fake session manager of `kind` unless it is empty; `options` go to
// the one that is to get the request.
struct Fakes {
    Fakes(const PrivateBus& bus, const QString& kind, const QStringList& options)
        : logind(bus, logindName, kind.isEmpty() ? options : QStringList{}) {
        if (!kind.isEmpty()) manager.emplace(bus, kind, options);
    }
    bool isReady() const { return logind.isReady() && (!manager || manager->isReady()); }
    QStringList askedCalls() const { return manager ? manager->calls() : logind.calls(); }

    FakeService logind;
    std::optional<FakeService> manager;
};

// A scheduled shutdown through the real windows, with the desktop's session manager (`kind`)
// on the bus, or started by it on demand as `startedByBusAs` while the fake `beside` runs: the
// calls the desktop and logind received, and what the countdown and the status line say once the
// desktop has the request and, `endsAfterMs` later, when whatever it does has happened.
struct Road {
    QString kind;
    QStringList options;
    QString startedByBusAs;
    QString beside;
    int endsAfterMs = 0;
    QStringList calls;
    QStringList seen;  // countdown and status line, then again at the end
};

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
    void logindOutcomeIsPassedOn_data();
    void logindOutcomeIsPassedOn();
    void acceptedRequestIsWatched_data();
    void acceptedRequestIsWatched();
    void whatTheUserSees_data();
    void whatTheUserSees();
    void requestAfterBusRestartIsDelivered_data();
    void requestAfterBusRestartIsDelivered();
    void currentDesktopIsAskedFirst_data();
    void currentDesktopIsAskedFirst();
    void repeatedPressesSendOneRequest();
    void permissionIsLogindsToGive();

private:
    QDBusConnection testBus() const;

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
    for (const QString& name : sessionManagerNames) {
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
    FakeService logind(*bus_, logindName);
    FakeService manager(*bus_, kind);
    QVERIFY(logind.isReady() && manager.isReady());
    const auto port = makePort(*bus_);
    QSignalSpy accepted(port.get(), &SessionManagerPowerPort::requestAccepted);
    QSignalSpy refused(port.get(), &SessionManagerPowerPort::requestRefused);

    port->request(action);
    QCOMPARE(accepted.count(), 0);  // the outcome comes later, never from inside request()
    QVERIFY(accepted.wait());
    QCOMPARE(accepted.takeFirst().at(0).value<PowerAction>(), action);
    QCOMPARE(refused.count(), 0);
    QCOMPARE(manager.calls(), QStringList{call});
    // Nothing from the program; gnome-session takes its inhibitor and then asks logind itself.
    QStringList desktopsOwn;
    if (kind == QLatin1String("gnome") && action != PowerAction::LogOff) {
        desktopsOwn = {QStringLiteral("Inhibit shutdown delay"),
                       action == PowerAction::Reboot ? QStringLiteral("Reboot true")
                                                     : QStringLiteral("PowerOff true")};
    }
    QCOMPARE(logind.calls(), desktopsOwn);
}

void TestPowerSessionManager::refusalIsReportedAndNotPassedOn_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("gnome") << "gnome";
    QTest::newRow("xfce") << "xfce";
}

void TestPowerSessionManager::refusalIsReportedAndNotPassedOn() {
    QFETCH(QString, kind);
    const QString error = QStringLiteral("org.freedesktop.DBus.Error.AccessDenied");
    FakeService logind(*bus_, logindName);
    FakeService manager(*bus_, kind, {QStringLiteral("--refuse=") + error});
    QVERIFY(logind.isReady() && manager.isReady());
    const auto port = makePort(*bus_);
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
    FakeService logind(*bus_, logindName);
    QVERIFY(logind.isReady());
    const auto port = makePort(*bus_, QStringLiteral("GNOME"));
    QSignalSpy accepted(port.get(), &SessionManagerPowerPort::requestAccepted);

    port->request(action);
    QVERIFY(accepted.wait());
    QCOMPARE(accepted.takeFirst().at(0).value<PowerAction>(), action);
    QCOMPARE(logind.calls(), QStringList{call});
}

void TestPowerSessionManager::logindOutcomeIsPassedOn_data() {
    QTest::addColumn<QString>("option");
    QTest::addColumn<bool>("refusal");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QStringList>("calls");
    QTest::newRow("refused") << "--refuse=org.freedesktop.DBus.Error.AccessDenied" << true
                             << "org.freedesktop.DBus.Error.AccessDenied"
                             << QStringList{QStringLiteral("PowerOff true")};
    QTest::newRow("not on the bus")
        << "--unreachable" << false << "org.freedesktop.DBus.Error.ServiceUnknown" << QStringList{};
}

// With no session manager running, logind's refusal is a refusal, and logind missing is no one
// saying no.
void TestPowerSessionManager::logindOutcomeIsPassedOn() {
    QFETCH(QString, option);
    QFETCH(bool, refusal);
    QFETCH(QString, error);
    QFETCH(QStringList, calls);
    FakeService logind(*bus_, logindName, {option});
    QVERIFY(logind.isReady());
    const auto port = makePort(*bus_);
    QSignalSpy accepted(port.get(), &PowerPort::requestAccepted);
    QSignalSpy refused(port.get(), &PowerPort::requestRefused);
    QSignalSpy unreachable(port.get(), &PowerPort::requestUnreachable);

    port->request(PowerAction::PowerOff);
    QSignalSpy& told = refusal ? refused : unreachable;
    QVERIFY(told.wait());
    const QString reason = told.takeFirst().at(1).toString();
    QVERIFY2(reason.startsWith(error + QStringLiteral(": ")), qPrintable(reason));
    QCOMPARE(accepted.count() + refused.count() + unreachable.count(), 0);
    QCOMPARE(logind.calls(), calls);
}

void TestPowerSessionManager::acceptedRequestIsWatched_data() {
    QTest::addColumn<QString>("kind");  // none: logind gets the request
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<SessionEnd>("expected");
    const QStringList callOff{callOffOption};
    QTest::newRow("xfce: ShutdownCancelled") << "xfce" << callOff << SessionEnd::CalledOff;
    QTest::newRow("xfce: ShutdownCancelled at once")
        << "xfce" << QStringList{QStringLiteral("--call-off-after-ms=0")} << SessionEnd::CalledOff;
    QTest::newRow("mate: SessionRunning") << "mate" << callOff << SessionEnd::CalledOff;
    QTest::newRow("cinnamon: SessionRunning") << "cinnamon" << callOff << SessionEnd::CalledOff;
    QTest::newRow("cinnamon-old: SessionRunning")
        << "cinnamon-old" << callOff << SessionEnd::CalledOff;
    QTest::newRow("logind: PrepareForShutdown(false)") << "" << callOff << SessionEnd::CalledOff;
    QTest::newRow("kde: org.kde.Shutdown leaves the bus")
        << "kde" << callOff << SessionEnd::CalledOff;
    QTest::newRow("kde before 5.25: no such word")
        << "kde-ksmserver" << callOff << SessionEnd::Overdue;
    QTest::newRow("lxqt: no such word") << "lxqt" << callOff << SessionEnd::Overdue;
    QTest::newRow("xfce keeps asking") << "xfce" << QStringList{} << SessionEnd::Pending;
    QTest::newRow("xfce, port gone before ShutdownCancelled")
        << "xfce" << callOff << SessionEnd::PortGone;
}

void TestPowerSessionManager::acceptedRequestIsWatched() {
    QFETCH(QString, kind);
    QFETCH(QStringList, options);
    QFETCH(SessionEnd, expected);
    const Fakes fakes(*bus_, kind, options);
    QVERIFY(fakes.isReady());
    auto port = makePort(*bus_, {}, shortSessionEndDeadlineMs);

    checkSessionEndWatch(port, expected, shortSessionEndDeadlineMs);
    if (QTest::currentTestFailed()) return;
    const bool sentAgain = expected == SessionEnd::CalledOff || expected == SessionEnd::Overdue;
    // A fake that left the bus is not there to be asked again: the next one, or logind, is.
    const QStringList calls = kind == QLatin1String("kde")
                                  ? fakes.logind.calls() + fakes.askedCalls()
                                  : fakes.askedCalls();
    QCOMPARE(calls.size(), sentAgain ? 2 : 1);
}

void TestPowerSessionManager::whatTheUserSees_data() {
    QTest::addColumn<Road>("road");
    const QStringList gnomeCalls{QStringLiteral("org.gnome.SessionManager Shutdown")};
    const QStringList plasmaCalls{QStringLiteral("org.kde.Shutdown logoutAndShutdown")};
    const QString plasma = QStringLiteral("org.kde.Shutdown");
    const QString ksmserver = QStringLiteral("kde-ksmserver");
    const auto q = [](std::string_view text) { return forms::q(text); };
    const QString takenStatus = q(engine::powerOffTakenStatus);
    const QStringList taken{takenStatus + q(engine::takenCountdownAdvice), takenStatus};
    const QStringList cancelled =
        taken + QStringList{q(engine::cancelledCountdownText), q(engine::cancelledStatus)};
    const QStringList refused{q(engine::powerOffRefusedText), q(engine::powerOffRefusedText)};
    const QStringList callOff{QStringLiteral("--call-off-after-ms=1500")};

    const QString none;
    const QStringList noOptions;
    const std::pair<const char*, Road> roads[] = {
        // GNOME Shell's dialog counts down 60 s before gnome-session takes its inhibitor from
        // logind, asks it to power off, and answers; this one takes longer than D-Bus's
        // default 25 s, which a call must not give up after.
        {"gnome: answers once its dialog has counted down",
         {QStringLiteral("gnome"),
          {QStringLiteral("--hold-ms=26000")},
          none,
          none,
          27'000,
          gnomeCalls + QStringList{QStringLiteral("Inhibit shutdown delay"),
                                   QStringLiteral("PowerOff true")},
          taken + taken}},
        {"gnome: cancelled in its dialog",
         {QStringLiteral("gnome"), callOff, none, none, 2'000, gnomeCalls, cancelled}},
        {"gnome: logout locked down",
         {QStringLiteral("gnome"),
          {QStringLiteral("--refuse=org.gnome.SessionManager.LockedDown")},
          none,
          none,
          0,
          gnomeCalls,
          refused + refused}},
        {"plasma: started beside ksmserver, goes ahead",
         {QStringLiteral("kde"), noOptions, plasma, ksmserver, 2'000, plasmaCalls, taken + taken}},
        {"plasma: called off, org.kde.Shutdown leaves the bus",
         {QStringLiteral("kde"), callOff, plasma, ksmserver, 2'000, plasmaCalls, cancelled}},
        {"plasma before 5.25: no word, the deadline tells",
         {ksmserver,
          noOptions,
          none,
          none,
          2'000,
          {QStringLiteral("org.kde.ksmserver logout 0 2 -1")},
          taken + QStringList{q(engine::overdueCountdownText), q(engine::overdueStatus)}}},
        // Not started without its session, where nothing speaks for the desktop.
        {"plasma's service file without ksmserver: logind",
         {QStringLiteral("kde"),
          noOptions,
          plasma,
          none,
          0,
          {QStringLiteral("PowerOff true")},
          taken + taken}},
    };
    for (const auto& [tag, road] : roads) QTest::newRow(tag) << road;
}

void TestPowerSessionManager::whatTheUserSees() {
    QFETCH(Road, road);
    FakeService logind(*bus_, logindName);
    FakeService manager(*bus_, road.kind, road.options, road.startedByBusAs);
    std::optional<FakeService> session;
    if (!road.beside.isEmpty()) session.emplace(*bus_, road.beside);
    QVERIFY(logind.isReady() && manager.isReady() && (!session || session->isReady()));
    const auto port = makePort(*bus_, {}, 1'500);
    Harness h({{2026, 12, 7}, {23, 29, 58}}, {}, port.get());
    h.arm(QStringLiteral("今天"), QStringLiteral("23"), QStringLiteral("30"));
    h.runUntil({{2026, 12, 7}, {23, 30, 32}});
    QVERIFY(h.dialog());
    const auto shown = [&h] { return QStringList{h.dialog()->Label1->Caption(), h.status()}; };

    QTRY_COMPARE(shown(), road.seen.mid(0, 2));
    QVERIFY(h.dialog()->Label2->isHidden());
    // Once the desktop has it, its dialogs and the programs' come on top of the countdown.
    if (road.seen.first().endsWith(forms::q(engine::takenCountdownAdvice))) {
        QVERIFY(!(h.dialog()->windowFlags() & Qt::WindowStaysOnTopHint));
    }
    QTest::qWait(road.endsAfterMs);
    QTRY_COMPARE(shown(), road.seen.mid(2, 2));
    const QStringList asked =
        logind.calls().filter(QRegularExpression(QStringLiteral("^(PowerOff|Inhibit)")));
    QCOMPARE(manager.calls() + asked, road.calls);
    if (session) QCOMPARE(session->calls(), QStringList{});
}

void TestPowerSessionManager::requestAfterBusRestartIsDelivered_data() {
    QTest::addColumn<QString>("kind");  // none: logind gets the request
    QTest::addColumn<QString>("call");
    QTest::newRow("logind") << ""
                            << "PowerOff true";
    QTest::newRow("xfce") << "xfce"
                          << "org.xfce.SessionManager Shutdown true";
}

// The bus daemon restarted at the same address (after an update) between the arming and the
// shutdown second: the shutdown still reaches the new one.
void TestPowerSessionManager::requestAfterBusRestartIsDelivered() {
    QFETCH(QString, kind);
    QFETCH(QString, call);
    PrivateBus bus;
    QVERIFY2(!bus.address().isEmpty(), qPrintable(bus.error()));
    const auto port = makePort(bus);
    QSignalSpy accepted(port.get(), &PowerPort::requestAccepted);
    QSignalSpy refused(port.get(), &PowerPort::requestRefused);
    QSignalSpy unreachable(port.get(), &PowerPort::requestUnreachable);
    {
        const Fakes before(bus, kind, {});
        QVERIFY(before.isReady());
        // Both connections made: logind's by the permission, the session's by a request.
        std::optional<PowerPermission> answer;
        port->askPowerOffPermission(this, [&answer](PowerPermission given) { answer = given; });
        QTRY_VERIFY(answer.has_value());
        QCOMPARE(*answer, PowerPermission::Yes);
        port->request(PowerAction::Reboot);
        QVERIFY(accepted.wait());
    }
    QVERIFY2(bus.restart(), qPrintable(bus.error()));
    const Fakes after(bus, kind, {});
    QVERIFY(after.isReady());

    port->request(PowerAction::PowerOff);
    QVERIFY(accepted.wait());
    QCOMPARE(accepted.last().at(0).value<PowerAction>(), PowerAction::PowerOff);
    QCOMPARE(refused.count() + unreachable.count(), 0);
    QCOMPARE(after.askedCalls(), QStringList{call});
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
    FakeService kde(*bus_, QStringLiteral("kde"));
    FakeService xfce(*bus_, QStringLiteral("xfce"));
    QVERIFY(kde.isReady() && xfce.isReady());
    const auto port = makePort(*bus_, currentDesktop);
    QSignalSpy accepted(port.get(), &SessionManagerPowerPort::requestAccepted);

    port->request(PowerAction::PowerOff);
    QVERIFY(accepted.wait());
    QCOMPARE(xfce.calls().size(), xfceAsked ? 1 : 0);
    QCOMPARE(kde.calls().size(), xfceAsked ? 0 : 1);
}

// The countdown presses ten times in the shutdown second: one request reaches the session.
void TestPowerSessionManager::repeatedPressesSendOneRequest() {
    FakeService logind(*bus_, logindName);
    FakeService manager(*bus_, QStringLiteral("gnome"));
    QVERIFY(logind.isReady() && manager.isReady());
    const auto port = makePort(*bus_);
    QSignalSpy accepted(port.get(), &SessionManagerPowerPort::requestAccepted);

    for (int press = 0; press < 10; ++press) {
        port->request(PowerAction::PowerOff);
        QTest::qWait(100);
    }
    QTRY_VERIFY(accepted.count() >= 1);
    QCOMPARE(manager.calls(), QStringList{QStringLiteral("org.gnome.SessionManager Shutdown")});
}

void TestPowerSessionManager::permissionIsLogindsToGive() {
    FakeService logind(*bus_, logindName, {QStringLiteral("--can-power-off=challenge")});
    FakeService manager(*bus_, QStringLiteral("gnome"));
    QVERIFY(logind.isReady() && manager.isReady());
    const auto port = makePort(*bus_);
    std::optional<PowerPermission> answer;
    port->askPowerOffPermission(this, [&answer](PowerPermission given) { answer = given; });
    QTRY_VERIFY(answer.has_value());
    QCOMPARE(*answer, PowerPermission::Challenge);
    QCOMPARE(logind.calls(), QStringList{QStringLiteral("CanPowerOff")});
    QVERIFY(manager.calls().isEmpty());
}

}  // namespace zeravan::test

QTEST_MAIN(zeravan::test::TestPowerSessionManager)
#include "test_power_session_manager.moc"
