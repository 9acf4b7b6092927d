// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include "harness.h"

using namespace zeravan;
using platform::NIM_ADD;
using platform::NIM_DELETE;
using zeravan::test::Harness;

namespace {

void minimise(MainWindowForm& form) {
    form.showMinimized();
    QCoreApplication::processEvents();
}

// Runs `inside` once the popup menu is open, then closes it.
void whilePopupIsOpen(std::function<void(QMenu&)> inside) {
    QTimer::singleShot(0, [inside = std::move(inside)] {
        auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(popup);
        inside(*popup);
        while (QWidget* open = QApplication::activePopupWidget()) open->close();
    });
}

}  // namespace

class TrayTest : public QObject {
    Q_OBJECT
private slots:
    void recordStartsBlank();
    void minimisingHidesIntoTheTray();
    void thePopupIsHandedToTheTray();
    void onlyDoubleClickAndRightButtonAct_data();
    void onlyDoubleClickAndRightButtonAct();
    void stateTable();
    void openRemovesTheIconWhileThePopupIsOpen();
    void exitFromInsideThePopup();
    void hoveringOpenRestoresAndExitEnds();
    void dismissingThePopupChangesNothing();
    void bringBackFromTheTray();
    void bringBackLeavesAShownWindowInPlace();
    void otherStatesLeaveTheTrayAlone();
    void closingNeverMinimisedSendsTheBlankRecord();
    void closingEndsTheProgramAlsoDuringTheCountdown();
    void exitEndsTheProgramDuringTheCountdown();
    void endsForTheInstallerUnlessAShutdownIsSet_data();
    void endsForTheInstallerUnlessAShutdownIsSet();
    void noNotificationAreaNoHiding();
};

void TrayTest::recordStartsBlank() {
    Harness h;
    const platform::NotifyIconData& record = h.module.TrayIconData;
    QCOMPARE(record.hIcon, 0u);
    QCOMPARE(record.szTip, QString(64, QChar(0)));
    QVERIFY(h.tray.requests.isEmpty());
}

void TrayTest::minimisingHidesIntoTheTray() {
    Harness h;
    MainWindowForm& form = h.form1();
    form.Show();
    minimise(form);
    QVERIFY(!form.isVisible());
    QCOMPARE(h.tray.requests.size(), 1);
    const auto& [message, record] = h.tray.requests.first();
    QCOMPARE(message, NIM_ADD);
    QCOMPARE(record.hIcon, static_cast<std::uint64_t>(form.windowIcon().cacheKey()));
    QCOMPARE(record.szTip.size(), 64);
    QCOMPARE(record.szTip, QStringLiteral("Orrimel") + QChar(0) + QString(56, QLatin1Char(' ')));
    QCOMPARE(record.shownTip(), QStringLiteral("Orrimel"));
}

// Trays that show the icon's menu themselves show this one: "打开" with "退出" inside.
void TrayTest::thePopupIsHandedToTheTray() {
    Harness h;
    MainWindowForm& form = h.form1();
    QCOMPARE(h.tray.menu, form.f00);
    QCOMPARE(form.f00->title(), QStringLiteral("a00"));
    const QList<QAction*> items = form.f00->actions();
    QCOMPARE(items.size(), 1);
    QCOMPARE(items.first()->text(), QStringLiteral("打开"));
    QCOMPARE(items.first()->menu(), form.F01);
    QCOMPARE(form.F01->actions(), QList<QAction*>{form.F02});
    QCOMPARE(form.F02->text(), QStringLiteral("退出"));
}

void TrayTest::onlyDoubleClickAndRightButtonAct_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("restores");
    QTest::addColumn<bool>("pops");
    QTest::newRow("512 move") << 512 << false << false;
    QTest::newRow("513 left down") << 513 << false << false;
    QTest::newRow("514 left up") << 514 << false << false;
    QTest::newRow("515 left double-click") << 515 << true << false;
    QTest::newRow("516 right down") << 516 << false << false;
    QTest::newRow("517 right up") << 517 << false << true;
    QTest::newRow("518 right double-click") << 518 << false << false;
}

void TrayTest::onlyDoubleClickAndRightButtonAct() {
    QFETCH(int, code);
    QFETCH(bool, restores);
    QFETCH(bool, pops);
    Harness h;
    MainWindowForm& form = h.form1();
    form.Show();
    minimise(form);
    bool popped = false;
    if (pops) whilePopupIsOpen([&popped](QMenu&) { popped = true; });
    h.tray.mouse(code);
    QCoreApplication::processEvents();
    QCOMPARE(form.isVisible(), restores);
    QCOMPARE(popped, pops);
    QCOMPARE(h.tray.requests.size(), 1);  // no request but the add
}

void TrayTest::stateTable() {
    Harness h;
    MainWindowForm& form = h.form1();
    form.Show();
    const QPoint place(40, 30);
    form.move(place);
    minimise(form);     // Shown -> In tray
    h.tray.mouse(515);  // In tray -> Shown with icon
    QVERIFY(form.isVisible());
    QVERIFY(!form.isMinimized());
    QCOMPARE(form.pos(), place);
    QCOMPARE(h.tray.count(NIM_DELETE), 0);
    h.tray.mouse(515);  // Shown with icon: restoring again changes nothing
    QVERIFY(form.isVisible());
    minimise(form);  // Shown with icon -> In tray: a second add for the same pair
    QVERIFY(!form.isVisible());
    QCOMPARE(h.tray.count(NIM_ADD), 2);
    QCOMPARE(h.tray.requests[1].second.hIcon, h.tray.requests[0].second.hIcon);
}

void TrayTest::openRemovesTheIconWhileThePopupIsOpen() {
    Harness h;
    MainWindowForm& form = h.form1();
    form.Show();
    minimise(form);
    bool visibleInside = false;
    qsizetype deletesInside = 0;
    whilePopupIsOpen([&](QMenu&) {
        form.F01->popup(QPoint(0, 0));  // opening the submenu of "打开"
        visibleInside = form.isVisible();
        deletesInside = h.tray.count(NIM_DELETE);
    });
    h.tray.mouse(517);
    QVERIFY(visibleInside);
    QCOMPARE(deletesInside, 1);
    QCOMPARE(h.endCalls, 0);
}

void TrayTest::exitFromInsideThePopup() {
    Harness h;
    MainWindowForm& form = h.form1();
    form.Show();
    minimise(form);
    whilePopupIsOpen([&form](QMenu&) {
        form.F01->popup(QPoint(0, 0));
        form.F02->trigger();
    });
    h.tray.mouse(517);
    QCOMPARE(h.tray.count(NIM_DELETE), 2);
    QCOMPARE(h.endCalls, 1);
}

// The real gesture: the pointer rests on "打开" until its submenu opens, then clicks "退出".
void TrayTest::hoveringOpenRestoresAndExitEnds() {
    Harness h;
    MainWindowForm& form = h.form1();
    form.Show();
    minimise(form);
    bool submenuShown = false;
    bool popupStillOpen = false;
    whilePopupIsOpen([&](QMenu& popup) {
        const QPoint open = popup.actionGeometry(form.F01->menuAction()).center();
        QTest::mouseMove(&popup, open);
        QTest::mouseMove(&popup, open + QPoint(1, 0));
        submenuShown = QTest::qWaitFor([&] { return form.F01->isVisible(); });
        popupStillOpen = popup.isVisible();
        QVERIFY(form.isVisible());
        QCOMPARE(h.tray.count(NIM_DELETE), 1);
        QTest::mouseClick(form.F01, Qt::LeftButton, {},
                          form.F01->actionGeometry(form.F02).center());
    });
    h.tray.mouse(517);
    QVERIFY(submenuShown);
    QVERIFY(popupStillOpen);
    QCOMPARE(h.tray.count(NIM_DELETE), 2);
    QCOMPARE(h.endCalls, 1);
}

void TrayTest::dismissingThePopupChangesNothing() {
    Harness h;
    MainWindowForm& form = h.form1();
    form.Show();
    minimise(form);
    whilePopupIsOpen([](QMenu&) {});
    h.tray.mouse(517);
    QVERIFY(!form.isVisible());
    QCOMPARE(h.tray.requests.size(), 1);
    QCOMPARE(h.endCalls, 0);
}

void TrayTest::bringBackFromTheTray() {
    Harness h;
    MainWindowForm& form = h.form1();
    form.Show();
    const QPoint place(50, 20);
    form.move(place);
    minimise(form);
    form.bringBack();
    QVERIFY(form.isVisible());
    QVERIFY(!form.isMinimized());
    QCOMPARE(form.pos(), place);
    QCOMPARE(h.tray.requests.size(), 1);  // the icon stays, as after a double click
}

void TrayTest::bringBackLeavesAShownWindowInPlace() {
    Harness h;
    MainWindowForm& form = h.form1();
    form.Show();
    const QPoint place(70, 40);
    form.move(place);
    form.bringBack();
    QVERIFY(form.isVisible());
    QCOMPARE(form.pos(), place);
    QVERIFY(h.tray.requests.isEmpty());
}

void TrayTest::otherStatesLeaveTheTrayAlone() {
    Harness h;
    MainWindowForm& form = h.form1();
    form.Show();
    form.showNormal();
    form.resize(100, 100);  // fixed size: the request is refused, the tray is not asked
    form.setWindowState(Qt::WindowActive);
    QCoreApplication::processEvents();
    QVERIFY(h.tray.requests.isEmpty());
    QCOMPARE(form.size(), QSize(388, 249));
}

void TrayTest::closingNeverMinimisedSendsTheBlankRecord() {
    Harness h;
    MainWindowForm& form = h.form1();
    form.Show();
    form.close();
    QCOMPARE(h.tray.requests.size(), 1);
    QCOMPARE(h.tray.requests.first().first, NIM_DELETE);
    QCOMPARE(h.tray.requests.first().second.hIcon, 0u);
    QVERIFY(!h.globals.form1.isLoaded());
    QCOMPARE(h.endCalls, 1);
}

void TrayTest::closingEndsTheProgramAlsoDuringTheCountdown() {
    Harness h({{2026, 12, 7}, {23, 29, 58}});
    h.arm(QStringLiteral("今天"), QStringLiteral("23"), QStringLiteral("30"));
    h.runUntil({{2026, 12, 7}, {23, 30, 1}});
    QVERIFY(h.dialog());
    h.form1().close();
    QVERIFY(!h.globals.Form2.isLoaded());
    QCOMPARE(h.endCalls, 1);
    QCOMPARE(h.power.count(QStringLiteral("PowerOff")), 0);
}

void TrayTest::exitEndsTheProgramDuringTheCountdown() {
    Harness h({{2026, 12, 7}, {23, 29, 58}});
    h.arm(QStringLiteral("今天"), QStringLiteral("23"), QStringLiteral("30"));
    h.runUntil({{2026, 12, 7}, {23, 30, 1}});
    QVERIFY(h.dialog());
    h.form1().F02_Click();
    QCOMPARE(h.endCalls, 1);
    QCOMPARE(h.tray.count(NIM_DELETE), 1);
}

// The installer asks the program to end: it does, as 退出 does, unless a shutdown is set, which
// stays as it was.
void TrayTest::endsForTheInstallerUnlessAShutdownIsSet_data() {
    QTest::addColumn<QString>("schedule");
    QTest::addColumn<bool>("ends");
    QTest::newRow("nothing set") << "idle" << true;
    QTest::newRow("a shutdown set") << "armed" << false;
    QTest::newRow("counting down") << "counting" << false;
    QTest::newRow("cancelled in the countdown") << "cancelled" << true;
}

void TrayTest::endsForTheInstallerUnlessAShutdownIsSet() {
    QFETCH(QString, schedule);
    QFETCH(bool, ends);
    Harness h({{2026, 12, 7}, {23, 29, 58}});
    h.form1().Show();
    if (schedule != "idle")
        h.arm(QStringLiteral("今天"), QStringLiteral("23"), QStringLiteral("30"));
    if (schedule == "counting" || schedule == "cancelled") {
        h.runUntil({{2026, 12, 7}, {23, 30, 3}});
        QVERIFY(h.dialog());
    }
    if (schedule == "cancelled") QTest::mouseClick(h.dialog()->Command1, Qt::LeftButton);
    QCOMPARE(h.form1().endForInstaller(), ends);
    QCOMPARE(h.endCalls, ends ? 1 : 0);
    QCOMPARE(h.tray.count(NIM_DELETE), ends ? 1 : 0);
    QCOMPARE(h.isArmed(), !ends);
    QCOMPARE(h.dialog() != nullptr, schedule == "counting");
}

void TrayTest::noNotificationAreaNoHiding() {
    Harness h;
    h.tray.available = false;
    MainWindowForm& form = h.form1();
    form.Show();
    minimise(form);
    QVERIFY(form.isMinimized());
    QVERIFY(form.isVisible());
    QVERIFY(h.tray.requests.isEmpty());
}

QTEST_MAIN(TrayTest)
#include "test_tray.moc"
