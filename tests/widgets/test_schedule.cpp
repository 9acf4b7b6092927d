// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include <QTest>

#include "harness.h"

using namespace zeravan;
using engine::LocalDateTime;
using zeravan::test::Harness;

Q_DECLARE_METATYPE(LocalDateTime)

namespace {

QStringList shutdownCaptions(MainWindowForm& form) {
    return {form.Label8->Caption(),  form.Label9->Caption(),  form.Label10->Caption(),
            form.Label12->Caption(), form.Label11->Caption(), form.Label13->Caption()};
}

}  // namespace

class ScheduleTest : public QObject {
    Q_OBJECT
private slots:
    void roadOfOneShutdown();
    void armedScreen();
    void triggerSecond_data();
    void triggerSecond();
    void timeAlreadyPastFiresNextDay();
    void armDisarmArm();
    void idleTicksNeverOpenTheDialog();
    void aboutTenShowsOneDialog();
    void refusedChoices_data();
    void refusedChoices();
    void choicesRewrittenToTheTimeTextForm_data();
    void choicesRewrittenToTheTimeTextForm();
};

void ScheduleTest::roadOfOneShutdown() {
    Harness h({{2026, 12, 7}, {23, 29, 50}});
    h.arm(QStringLiteral("今天"), QStringLiteral("23"), QStringLiteral("30"));
    QVERIFY(h.isArmed());

    h.runUntil({{2026, 12, 7}, {23, 30, 0}});
    h.run(900);
    QVERIFY(!h.dialog());
    h.run(100);  // 23:30:01.0
    QVERIFY(h.dialog());
    QCOMPARE(h.countShown(), QStringLiteral("31"));
    QCOMPARE(h.form1().Text3.Text, QStringLiteral("2026/12/7 23:30:31"));

    h.runUntil({{2026, 12, 7}, {23, 30, 30}});
    h.run(900);
    QCOMPARE(h.power.count(QStringLiteral("PowerOff")), 0);
    h.run(1000);  // the shutdown second, 23:30:31.0 to 23:30:31.9
    QCOMPARE(h.power.count(QStringLiteral("PowerOff")), 10);
    QCOMPARE(h.power.calls.filter(QStringLiteral("privilege")).size(), 10);
    QCOMPARE(h.power.calls.mid(h.power.calls.indexOf(QStringLiteral("privilege")), 2),
             QStringList({"privilege", "PowerOff"}));
    h.run(3000);
    QCOMPARE(h.power.count(QStringLiteral("PowerOff")), 10);
    QVERIFY(h.isArmed());
}

void ScheduleTest::armedScreen() {
    Harness h;
    MainWindowForm& form = h.form1();
    h.arm(QStringLiteral("今天"), QStringLiteral("23"), QStringLiteral("30"));
    QCOMPARE(form.Label6->Caption(), QStringLiteral("执行中..."));
    QVERIFY(form.Label14->isHidden());
    QVERIFY(!form.Combo1->isEnabled() && !form.Combo2->isEnabled() && !form.Combo3->isEnabled());
    QVERIFY(form.Command4->isEnabled());
    h.run(100);
    QCOMPARE(shutdownCaptions(form), QStringList({"关机时间：", "今天", "23", "点", "30", "分"}));
    QCOMPARE(form.Label4->Caption(), QStringLiteral("2026/12/7 12:00:00"));
    QCOMPARE(form.Text1.Text, QStringLiteral("2026/12/7 12:00:00"));
    QCOMPARE(form.Text2.Text, QStringLiteral("2026/12/7 23:30:01"));
}

void ScheduleTest::triggerSecond_data() {
    QTest::addColumn<LocalDateTime>("armedAt");
    QTest::addColumn<QString>("day");
    QTest::addColumn<QString>("hour");
    QTest::addColumn<QString>("minute");
    QTest::addColumn<LocalDateTime>("quietAt");  // a second in which the dialog must not open
    QTest::addColumn<LocalDateTime>("opensAt");
    QTest::newRow("hour 0, minute 05") << LocalDateTime{{2026, 12, 7}, {0, 4, 50}} << "今天"
                                       << "0"
                                       << "05" << LocalDateTime{{2026, 12, 7}, {0, 4, 58}}
                                       << LocalDateTime{{2026, 12, 7}, {0, 5, 1}};
    QTest::newRow("tomorrow, before the morning")
        << LocalDateTime{{2026, 12, 7}, {22, 0, 0}} << "明天"
        << "1"
        << "00" << LocalDateTime{{2026, 12, 8}, {0, 0, 1}}
        << LocalDateTime{{2026, 12, 8}, {1, 0, 1}};
    QTest::newRow("tomorrow, in the evening") << LocalDateTime{{2026, 12, 7}, {22, 0, 0}} << "明天"
                                              << "23"
                                              << "30" << LocalDateTime{{2026, 12, 7}, {23, 30, 1}}
                                              << LocalDateTime{{2026, 12, 8}, {23, 30, 1}};
    QTest::newRow("tomorrow chosen after midnight")
        << LocalDateTime{{2026, 12, 8}, {0, 30, 0}} << "明天"
        << "23"
        << "30" << LocalDateTime{{2026, 12, 8}, {23, 30, 1}}
        << LocalDateTime{{2026, 12, 9}, {23, 30, 1}};
    QTest::newRow("tomorrow across the year end")
        << LocalDateTime{{2026, 12, 31}, {20, 0, 0}} << "明天"
        << "0"
        << "10" << LocalDateTime{{2027, 1, 1}, {0, 0, 1}}
        << LocalDateTime{{2027, 1, 1}, {0, 10, 1}};
    QTest::newRow("tomorrow onto a leap day") << LocalDateTime{{2028, 2, 28}, {20, 0, 0}} << "明天"
                                              << "6"
                                              << "45" << LocalDateTime{{2028, 2, 28}, {23, 59, 59}}
                                              << LocalDateTime{{2028, 2, 29}, {6, 45, 1}};
}

// The dialog opens in the trigger second and not before: the road is run tick by tick through
// the nightly return of the day choice, through the quiet second and up to the trigger, and
// jumped over elsewhere.
void ScheduleTest::triggerSecond() {
    QFETCH(LocalDateTime, armedAt);
    QFETCH(QString, day);
    QFETCH(QString, hour);
    QFETCH(QString, minute);
    QFETCH(LocalDateTime, quietAt);
    QFETCH(LocalDateTime, opensAt);
    Harness h(armedAt);
    h.arm(day, hour, minute);
    QVERIFY(h.isArmed());
    // Runs from a few seconds before `moment` through the whole of its second.
    const auto runThrough = [&h](const LocalDateTime& moment) {
        const long long at = engine::wallSeconds(moment) - 5;
        if (engine::wallSeconds(h.clock.now()) < at) h.jumpTo(engine::fromWallSeconds(at));
        h.runUntil(moment);
        h.run(900);
    };
    std::vector<LocalDateTime> quiet{quietAt, {engine::addDays(armedAt.date, 1), {0, 0, 0}}};
    std::sort(quiet.begin(), quiet.end(), [](const auto& a, const auto& b) {
        return engine::wallSeconds(a) < engine::wallSeconds(b);
    });
    for (const LocalDateTime& moment : quiet) {
        if (engine::wallSeconds(moment) >= engine::wallSeconds(opensAt)) continue;
        runThrough(moment);
        QVERIFY(!h.dialog());
    }
    runThrough(engine::fromWallSeconds(engine::wallSeconds(opensAt) - 1));
    QVERIFY(!h.dialog());
    h.run(100);
    QVERIFY(h.dialog());
}

void ScheduleTest::timeAlreadyPastFiresNextDay() {
    Harness h({{2026, 12, 7}, {12, 0, 0}});
    h.arm(QStringLiteral("今天"), QStringLiteral("11"), QStringLiteral("00"));
    h.jumpTo({{2026, 12, 7}, {11, 0, 0}});  // the clock set back: today's 11:00 still counts
    h.run(2000);
    QVERIFY(h.dialog());
    h.dialog()->Unload();

    h.jumpTo({{2026, 12, 8}, {10, 59, 58}});
    h.run(2900);
    QVERIFY(!h.dialog());
    h.run(100);
    QVERIFY(h.dialog());
}

void ScheduleTest::armDisarmArm() {
    Harness h;
    MainWindowForm& form = h.form1();
    h.arm(QStringLiteral("今天"), QStringLiteral("23"), QStringLiteral("30"));
    h.run(300);
    forms::press(*form.Command4);
    QCOMPARE(form.Command4->text(), QStringLiteral("确定"));
    QCOMPARE(form.Label6->Caption(), QStringLiteral("停止"));
    QVERIFY(!form.Label14->isHidden());
    QVERIFY(form.Combo1->isEnabled() && form.Combo2->isEnabled() && form.Combo3->isEnabled());
    QVERIFY(form.Text3.Text.isEmpty());
    QCOMPARE(shutdownCaptions(form), QStringList({"", "", "", "", "", ""}));

    forms::press(*form.Command4);
    QVERIFY(h.isArmed());
    QCOMPARE(form.Label6->Caption(), QStringLiteral("执行中..."));
    h.jumpTo({{2026, 12, 7}, {23, 30, 0}});
    h.run(1100);
    QVERIFY(h.dialog());
}

void ScheduleTest::idleTicksNeverOpenTheDialog() {
    Harness h({{2026, 12, 7}, {23, 30, 0}});
    h.run(3000, [&h] {
        QVERIFY(h.form1().Text2.Text.isEmpty());
        QVERIFY(h.form1().Text3.Text.isEmpty());
    });
    QVERIFY(!h.dialog());
    QCOMPARE(h.showCalls, 0);
    QCOMPARE(shutdownCaptions(h.form1()), QStringList({"", "", "", "", "", ""}));
}

void ScheduleTest::aboutTenShowsOneDialog() {
    Harness h({{2026, 12, 7}, {23, 30, 0}});
    h.arm(QStringLiteral("今天"), QStringLiteral("23"), QStringLiteral("30"));
    h.run(1000);
    QCOMPARE(h.showCalls, 1);  // the tick at 23:30:01.0
    CountdownForm* first = h.dialog();
    h.run(900);
    QCOMPARE(h.showCalls, 10);
    QCOMPARE(h.dialog(), first);
    QCOMPARE(Harness::dialogWindows(), 1);
    QCOMPARE(first->Label2->Caption(), QStringLiteral("31"));
}

void ScheduleTest::refusedChoices_data() {
    QTest::addColumn<QString>("day");
    QTest::addColumn<QString>("hour");
    QTest::addColumn<QString>("minute");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty hour") << "今天"
                                << ""
                                << "30"
                                << "小时应为0到23";
    QTest::newRow("hour 24") << "今天"
                             << "24"
                             << "30"
                             << "小时应为0到23";
    QTest::newRow("hour abc") << "今天"
                              << "abc"
                              << "30"
                              << "小时应为0到23";
    QTest::newRow("hour 1.5") << "今天"
                              << "1.5"
                              << "30"
                              << "小时应为0到23";
    QTest::newRow("minute 60") << "今天"
                               << "23"
                               << "60"
                               << "分钟应为0到59";
    QTest::newRow("empty minute") << "今天"
                                  << "23"
                                  << ""
                                  << "分钟应为0到59";
    QTest::newRow("other day") << "后天"
                               << "23"
                               << "30"
                               << "请选择今天或明天";
    QTest::newRow("empty day") << ""
                               << "23"
                               << "30"
                               << "请选择今天或明天";
}

void ScheduleTest::refusedChoices() {
    QFETCH(QString, day);
    QFETCH(QString, hour);
    QFETCH(QString, minute);
    QFETCH(QString, message);
    Harness h;
    h.arm(day, hour, minute);
    QVERIFY(!h.isArmed());
    QCOMPARE(h.form1().Command4->text(), QStringLiteral("确 定"));
    QCOMPARE(h.status(), message);
    QVERIFY(h.form1().Combo1->isEnabled() && h.form1().Combo2->isEnabled() &&
            h.form1().Combo3->isEnabled());
    QVERIFY(!h.form1().Label14->isHidden());
    QCOMPARE(h.form1().Combo2->currentText(), hour);  // left as typed, for the user to mend
    h.run(300);
    QVERIFY(h.form1().Text2.Text.isEmpty());
}

void ScheduleTest::choicesRewrittenToTheTimeTextForm_data() {
    QTest::addColumn<QString>("day");
    QTest::addColumn<QString>("hour");
    QTest::addColumn<QString>("minute");
    QTest::addColumn<QString>("trigger");
    QTest::newRow("leading zero hour") << "今天"
                                       << "07"
                                       << "15"
                                       << "2026/12/7 7:15:01";
    QTest::newRow("blank before the hour") << "今天"
                                           << " 7"
                                           << "15"
                                           << "2026/12/7 7:15:01";
    QTest::newRow("one-digit minute") << "今天"
                                      << "18"
                                      << "7"
                                      << "2026/12/7 18:07:01";
    QTest::newRow("minute zero") << "今天"
                                 << "18"
                                 << "0"
                                 << "2026/12/7 18:00:01";
    QTest::newRow("blank after today") << "今天 "
                                       << "18"
                                       << "00"
                                       << "2026/12/7 18:00:01";
    QTest::newRow("blanks around tomorrow") << " 明天\u3000"
                                            << "18"
                                            << "00"
                                            << "2026/12/8 18:00:01";
}

// The choices are written back as the schedule reads them, so a day typed with a blank aims at
// the day it names.
void ScheduleTest::choicesRewrittenToTheTimeTextForm() {
    QFETCH(QString, day);
    QFETCH(QString, hour);
    QFETCH(QString, minute);
    QFETCH(QString, trigger);
    Harness h({{2026, 12, 7}, {6, 0, 0}});
    h.form1().Timer2_Timer();
    h.arm(day, hour, minute);
    QVERIFY(h.isArmed());
    h.run(100);
    QCOMPARE(h.form1().Text2.Text, trigger);
    QCOMPARE(h.dayChoice(), day.trimmed());
    QCOMPARE(h.form1().Label9->Caption(), day.trimmed());
    QCOMPARE(h.form1().Combo2->currentText() + ":" + h.form1().Combo3->currentText(),
             trigger.section(' ', 1).section(':', 0, 1));
}

QTEST_MAIN(ScheduleTest)
#include "test_schedule.moc"
