// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include <QApplication>
#include <QTest>

#include "harness.h"

using namespace zeravan;
using platform::PowerAction;
using zeravan::test::Harness;

namespace {

// Armed for 23:30 today and run into the trigger second, so the dialog has just opened.
void openDialog(Harness& h) {
    h.jumpTo({{2026, 12, 7}, {23, 29, 58}});
    h.arm(QStringLiteral("今天"), QStringLiteral("23"), QStringLiteral("30"));
    h.runUntil({{2026, 12, 7}, {23, 30, 1}});
    QVERIFY(h.dialog());
}

}  // namespace

Q_DECLARE_METATYPE(zeravan::test::FakePowerPort::Failure)

class CountdownTest : public QObject {
    Q_OBJECT
private slots:
    void designedDialog();
    void countStopsAtZero();
    void secondShowLeavesTheCount();
    void cancel_data();
    void cancel();
    void closeBox_data();
    void closeBox();
    void disarmedInTheMainWindow();
    void closeBoxInsideTheTriggerSecondReopensFrom31();
    void shutdownThatCameToNothingIsShown_data();
    void shutdownThatCameToNothingIsShown();
    void desktopTakesTheShutdown();
    void opensWhileTheMainWindowIsHidden();
    void keyboardActivatesCancel_data();
    void keyboardActivatesCancel();
};

void CountdownTest::designedDialog() {
    Harness h;
    openDialog(h);
    CountdownForm& dialog = *h.dialog();
    QCOMPARE(dialog.objectName(), QStringLiteral("Form2"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Orrimel"));
    QCOMPARE(dialog.size(), QSize(286, 101));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    QVERIFY(dialog.windowFlags() & Qt::WindowCloseButtonHint);
    QVERIFY(!(dialog.windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(dialog.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(dialog.windowFlags() & Qt::WindowStaysOnTopHint);  // seen over covering windows
    QVERIFY(!dialog.parentWidget());
    QCOMPARE(dialog.Label1->Caption(), QStringLiteral("离关机时间还有"));
    QCOMPARE(dialog.Label3->Caption(), QStringLiteral("秒"));
    QCOMPARE(dialog.Command1->text(), QStringLiteral("取 消 关 机"));
    QVERIFY(dialog.Command1->font().bold());
    QCOMPARE(dialog.Label2->font().pixelSize(), 16);
    QCOMPARE(dialog.Command1->geometry(), QRect(64, 56, 145, 33));
    QCOMPARE(dialog.Label2->geometry(), QRect(152, 16, 25, 17));
    QCOMPARE(dialog.Timer1->interval(), 100);
    QCOMPARE(dialog.Timer2->interval(), 1000);
    QCOMPARE(dialog.focusWidget(), dialog.Command1);
}

// The count stops at 0: a shutdown not asked for yet (the clock was set back) comes when the clock
// reaches its second, and one asked for that the system has not answered yet is said in words.
void CountdownTest::countStopsAtZero() {
    Harness h;
    openDialog(h);
    CountdownForm& dialog = *h.dialog();
    QCOMPARE(dialog.Label2->Caption(), QStringLiteral("31"));
    dialog.Timer2_Timer();
    QCOMPARE(dialog.Label2->Caption(), QStringLiteral("30"));
    for (int tick = 2; tick <= 31; ++tick) dialog.Timer2_Timer();
    QCOMPARE(dialog.Label2->Caption(), QStringLiteral("0"));
    dialog.Timer2_Timer();
    QCOMPARE(dialog.Label2->Caption(), QStringLiteral("0"));
    QVERIFY(dialog.Timer1->isActive() && !dialog.Label2->isHidden());

    h.runUntil({{2026, 12, 7}, {23, 30, 33}});
    QCOMPARE(h.power.count(QStringLiteral("PowerOff")), 10);
    QCOMPARE(dialog.Label1->Caption(), QStringLiteral("正在请求关机"));
    QVERIFY(dialog.Label2->isHidden());
    QCOMPARE(dialog.Command1->text(), QStringLiteral("取 消 关 机"));  // not handed over yet
}

void CountdownTest::secondShowLeavesTheCount() {
    Harness h;
    openDialog(h);
    h.dialog()->Timer2_Timer();
    h.globals.Form2.Show();
    QCOMPARE(h.countShown(), QStringLiteral("30"));
}

void CountdownTest::cancel_data() {
    QTest::addColumn<bool>("disarmFirst");
    QTest::newRow("schedule armed") << false;
    QTest::newRow("disarmed from the main window meanwhile") << true;
}

// Cancel always leaves the schedule idle and produces no shutdown.
void CountdownTest::cancel() {
    QFETCH(bool, disarmFirst);
    Harness h;
    openDialog(h);
    if (disarmFirst) forms::press(*h.form1().Command4);
    QCOMPARE(h.isArmed(), !disarmFirst);
    forms::press(*h.dialog()->Command1);
    QVERIFY(!h.dialog());
    QVERIFY(!h.isArmed());
    QVERIFY(h.form1().Text3.Text.isEmpty());
    QCOMPARE(h.status(), QStringLiteral("停止"));
    h.run(40000);
    QCOMPARE(h.power.count(QStringLiteral("PowerOff")), 0);
    QVERIFY(!h.dialog());
}

// The dialog closed with its close box `after` so many milliseconds of the run from the trigger
// second, the clock stalled by `stallMs` just before the shutdown second (0: no stall): the
// schedule stays armed, and the status line tells what became of today's shutdown. Closed
// while counting, no shutdown follows and the next day's comes as usual.
void CountdownTest::closeBox_data() {
    QTest::addColumn<int>("stallMs");
    QTest::addColumn<int>("after");
    QTest::addColumn<int>("asked");
    QTest::addColumn<QString>("status");
    QTest::newRow("while counting") << 0 << 2000 << 0 << "今天已跳过，明天照常执行";
    QTest::newRow("after the shutdown was asked for") << 0 << 31000 << 10 << "执行中...";
    QTest::newRow("after the shutdown second was missed")
        << 10000 << 41000 << 0 << "已错过关机，明天照常执行";
}

void CountdownTest::closeBox() {
    QFETCH(int, stallMs);
    QFETCH(int, after);
    QFETCH(int, asked);
    QFETCH(QString, status);
    Harness h;
    openDialog(h);
    if (stallMs != 0) {
        h.run(29900);  // the last tick before the stall at 23:30:30.9
        h.stall(stallMs);
    }
    h.runUntil(
        engine::fromWallSeconds(engine::wallSeconds({{2026, 12, 7}, {23, 30, 1}}) + after / 1000));
    h.dialog()->close();
    QVERIFY(!h.dialog());
    QVERIFY(h.isArmed());
    QCOMPARE(h.status(), status);
    h.run(40000);
    QCOMPARE(h.power.count(QStringLiteral("PowerOff")), asked);
    QVERIFY(!h.dialog());

    h.jumpTo({{2026, 12, 8}, {23, 29, 58}});
    h.run(3000);
    QVERIFY(h.dialog());
    QCOMPARE(h.status(), QStringLiteral("执行中..."));
}

// Disarmed with the main window's button while it counts, the dialog closes on its next watch,
// and no shutdown follows.
void CountdownTest::disarmedInTheMainWindow() {
    Harness h;
    openDialog(h);
    h.run(5000);
    forms::press(*h.form1().Command4);
    QVERIFY(!h.isArmed());
    h.run(100);
    QVERIFY(!h.dialog());
    QCOMPARE(Harness::dialogWindows(), 0);
    QCOMPARE(h.status(), QStringLiteral("停止"));
    h.run(40000);
    QCOMPARE(h.power.count(QStringLiteral("PowerOff")), 0);
    QVERIFY(!h.dialog());
}

void CountdownTest::closeBoxInsideTheTriggerSecondReopensFrom31() {
    Harness h;
    openDialog(h);
    CountdownForm* first = h.dialog();
    h.dialog()->Timer2_Timer();
    first->close();
    h.run(100);
    QVERIFY(h.dialog());
    QVERIFY(h.dialog() != first);
    QCOMPARE(h.countShown(), QStringLiteral("31"));
}

// Refused, out of reach in the shutdown second, or accepted and then called off by the desktop
// a minute later: the countdown says so in words instead of counting on below zero.
void CountdownTest::shutdownThatCameToNothingIsShown_data() {
    using Failure = test::FakePowerPort::Failure;
    QTest::addColumn<Failure>("failure");
    QTest::addColumn<int>("afterMs");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("status");
    QTest::newRow("refused") << Failure::Refused << 0 << "关机被系统拒绝"
                             << "关机被系统拒绝";
    QTest::newRow("unreachable") << Failure::Unreachable << 0 << "无法连接系统电源服务"
                                 << "无法连接系统电源服务";
    QTest::newRow("answer lost") << Failure::Lost << 0 << "关机请求结果未知"
                                 << "关机请求结果未知";
    QTest::newRow("called off") << Failure::Cancelled << 60000 << "关机被系统或程序取消"
                                << "关机被取消，明天照常执行";
    QTest::newRow("not carried out in two minutes")
        << Failure::Overdue << 120000 << "两分钟内未关机，明天照常执行"
        << "关机未完成，明天照常执行";
}

void CountdownTest::shutdownThatCameToNothingIsShown() {
    QFETCH(test::FakePowerPort::Failure, failure);
    QFETCH(int, afterMs);
    QFETCH(QString, shown);
    QFETCH(QString, status);
    Harness h;
    openDialog(h);
    h.runUntil({{2026, 12, 7}, {23, 30, 31}});
    QCOMPARE(h.power.count(QStringLiteral("PowerOff")), 1);
    h.run(afterMs);
    const qsizetype asked = h.power.count(QStringLiteral("PowerOff"));
    h.power.fail(failure, PowerAction::PowerOff, QStringLiteral("org.freedesktop.DBus.Error"));
    CountdownForm& dialog = *h.dialog();
    QCOMPARE(dialog.Label1->Caption(), shown);
    QVERIFY(dialog.Label2->isHidden());
    QCOMPARE(h.status(), status);
    QVERIFY(h.isArmed());
    h.run(5000);
    // Not asked again behind the user's back, and no count running on.
    QCOMPARE(h.power.count(QStringLiteral("PowerOff")), asked);
    QVERIFY(!dialog.Timer1->isActive() && !dialog.Timer2->isActive());
    // The button puts the words away and keeps the schedule the status line promises.
    QCOMPARE(dialog.Command1->text(), QStringLiteral("关 闭"));
    forms::press(*dialog.Command1);
    QVERIFY(!h.dialog());
    QVERIFY(h.isArmed());
    QCOMPARE(h.status(), status);
    h.jumpTo({{2026, 12, 8}, {23, 29, 58}});
    h.run(3000);
    QVERIFY(h.dialog());
}

// Once the desktop has the shutdown it may ask the user or the programs: the countdown says so
// instead of counting, stays open, and lets the desktop's dialogs come on top of it.
void CountdownTest::desktopTakesTheShutdown() {
    Harness h;
    openDialog(h);
    CountdownForm& dialog = *h.dialog();
    h.runUntil({{2026, 12, 7}, {23, 30, 31}});
    QVERIFY(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
    h.power.take(PowerAction::PowerOff);
    QCOMPARE(dialog.Label1->Caption(), QStringLiteral("系统正在关机，请留意系统提示"));
    QCOMPARE(h.status(), QStringLiteral("系统正在关机"));
    QVERIFY(dialog.Label2->isHidden() && !dialog.Timer2->isActive());
    QVERIFY(!(dialog.windowFlags() & Qt::WindowStaysOnTopHint));
    QVERIFY(!(dialog.windowHandle()->flags() & Qt::WindowStaysOnTopHint));
    h.run(90000);
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.Label1->Caption(), QStringLiteral("系统正在关机，请留意系统提示"));
    QCOMPARE(h.power.count(QStringLiteral("PowerOff")), 1);  // pressed no more once taken
    QCOMPARE(dialog.Command1->text(), QStringLiteral("关 闭"));
    forms::press(*dialog.Command1);
    QVERIFY(!h.dialog() && h.isArmed());
}

void CountdownTest::opensWhileTheMainWindowIsHidden() {
    Harness h;
    h.form1().Show();
    h.form1().Hide();
    openDialog(h);
    QVERIFY(h.dialog()->isVisible());
    QVERIFY(!h.form1().isVisible());
}

void CountdownTest::keyboardActivatesCancel_data() {
    QTest::addColumn<int>("key");
    QTest::newRow("space") << int(Qt::Key_Space);
    QTest::newRow("enter") << int(Qt::Key_Return);
}

void CountdownTest::keyboardActivatesCancel() {
    QFETCH(int, key);
    Harness h;
    openDialog(h);
    h.dialog()->activateWindow();  // it opens without the focus: the user switches to it
    QVERIFY(QTest::qWaitForWindowActive(h.dialog()));
    QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key));
    QTRY_VERIFY(!h.dialog());
    QVERIFY(!h.isArmed());
}

QTEST_MAIN(CountdownTest)
#include "test_countdown.moc"
