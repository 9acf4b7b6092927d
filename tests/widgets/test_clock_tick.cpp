// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include <QTest>

#include "harness.h"

using namespace zeravan;
using engine::LocalDateTime;
using zeravan::test::Harness;

Q_DECLARE_METATYPE(LocalDateTime)

class ClockTickTest : public QObject {
    Q_OBJECT
private slots:
    void displays_data();
    void displays();
    void newDayWithinOneTick();
    void dayChoiceReturnsAtTheStartOfTheDay_data();
    void dayChoiceReturnsAtTheStartOfTheDay();
    void noResetOutsideThatSecond_data();
    void noResetOutsideThatSecond();
    void rewritesEveryTick();
};

void ClockTickTest::displays_data() {
    QTest::addColumn<LocalDateTime>("now");
    QTest::addColumn<QString>("day");
    QTest::addColumn<QString>("weekday");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("time");
    QTest::newRow("sunday today") << LocalDateTime{{2026, 12, 6}, {9, 5, 7}} << "今天"
                                  << "星期日"
                                  << "2026/12/6"
                                  << "9:05:07";
    QTest::newRow("monday tomorrow") << LocalDateTime{{2026, 12, 7}, {23, 59, 59}} << "明天"
                                     << "星期一"
                                     << "2026/12/8"
                                     << "23:59:59";
    QTest::newRow("saturday") << LocalDateTime{{2026, 12, 12}, {14, 33, 1}} << "今天"
                              << "星期六"
                              << "2026/12/12"
                              << "14:33:01";
    QTest::newRow("new year's eve tomorrow") << LocalDateTime{{2026, 12, 31}, {12, 0, 0}} << "明天"
                                             << "星期四"
                                             << "2027/1/1"
                                             << "12:00:00";
    QTest::newRow("leap february tomorrow") << LocalDateTime{{2028, 2, 28}, {12, 0, 0}} << "明天"
                                            << "星期一"
                                            << "2028/2/29"
                                            << "12:00:00";
    QTest::newRow("first item and a blank is tomorrow")
        << LocalDateTime{{2026, 12, 7}, {12, 0, 0}} << "今天 "
        << "星期一"
        << "2026/12/8"
        << "12:00:00";
    QTest::newRow("empty day is tomorrow") << LocalDateTime{{2026, 12, 7}, {12, 0, 0}} << ""
                                           << "星期一"
                                           << "2026/12/8"
                                           << "12:00:00";
}

void ClockTickTest::displays() {
    QFETCH(LocalDateTime, now);
    QFETCH(QString, day);
    QFETCH(QString, weekday);
    QFETCH(QString, target);
    QFETCH(QString, time);
    Harness h(now);
    h.form1().Combo1->setEditText(day);
    h.form1().Timer2_Timer();
    QCOMPARE(h.form1().Label7->Caption(), weekday);
    QCOMPARE(h.form1().Text4.Text, target);
    QCOMPARE(h.form1().Text5.Text, time);
}

void ClockTickTest::newDayWithinOneTick() {
    Harness h({{2026, 12, 6}, {23, 59, 59}});
    h.run(900);
    QCOMPARE(h.form1().Label7->Caption(), QStringLiteral("星期日"));
    QCOMPARE(h.form1().Text4.Text, QStringLiteral("2026/12/6"));
    h.run(100);
    QCOMPARE(h.form1().Text5.Text, QStringLiteral("0:00:00"));
    QCOMPARE(h.form1().Label7->Caption(), QStringLiteral("星期一"));
    QCOMPARE(h.form1().Text4.Text, QStringLiteral("2026/12/7"));
}

void ClockTickTest::dayChoiceReturnsAtTheStartOfTheDay_data() {
    QTest::addColumn<bool>("armed");
    QTest::newRow("idle") << false;
    QTest::newRow("armed") << true;
}

void ClockTickTest::dayChoiceReturnsAtTheStartOfTheDay() {
    QFETCH(bool, armed);
    Harness h({{2026, 12, 7}, {23, 59, 58}});
    if (armed) {
        h.arm(QStringLiteral("明天"), QStringLiteral("1"), QStringLiteral("00"));
        QVERIFY(!h.form1().Combo1->isEnabled());
    } else {
        h.form1().Combo1->setEditText(QStringLiteral("明天"));
    }
    h.run(1000);
    QCOMPARE(h.form1().Text4.Text, QStringLiteral("2026/12/8"));
    h.run(1000);  // the first tick of 0:00:00
    QCOMPARE(h.form1().Combo1->currentText(), QStringLiteral("今天"));
    // "明天" chosen on the 7th meant the 8th, and from the next tick on "今天" does.
    h.run(100);
    QCOMPARE(h.form1().Text4.Text, QStringLiteral("2026/12/8"));
    QCOMPARE(h.form1().Combo1->isEnabled(), !armed);
}

void ClockTickTest::noResetOutsideThatSecond_data() {
    QTest::addColumn<LocalDateTime>("start");
    QTest::newRow("2:33:00 to 2:33:02") << LocalDateTime{{2026, 12, 8}, {2, 33, 0}};
    QTest::newRow("14:33:01") << LocalDateTime{{2026, 12, 8}, {14, 33, 0}};
    QTest::newRow("0:00:01 onwards") << LocalDateTime{{2026, 12, 8}, {0, 0, 1}};
    QTest::newRow("last seconds of the day") << LocalDateTime{{2026, 12, 8}, {23, 59, 57}};
}

void ClockTickTest::noResetOutsideThatSecond() {
    QFETCH(LocalDateTime, start);
    Harness h(start);
    h.form1().Combo1->setEditText(QStringLiteral("明天"));
    h.run(2000);
    QCOMPARE(h.form1().Combo1->currentText(), QStringLiteral("明天"));
}

void ClockTickTest::rewritesEveryTick() {
    Harness h;
    h.form1().Timer2_Timer();
    h.form1().Text5.Text = QStringLiteral("changed");
    h.form1().Label7->setCaption(QStringLiteral("changed"));
    h.form1().Timer2_Timer();
    QCOMPARE(h.form1().Text5.Text, QStringLiteral("12:00:00"));
    QCOMPARE(h.form1().Label7->Caption(), QStringLiteral("星期一"));
}

QTEST_MAIN(ClockTickTest)
#include "test_clock_tick.moc"
