// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The schedule when the program is held up across one of its seconds (a busy or swapping
// machine, a debugger, a stop signal): a short stall still opens the countdown and still asks
// for the shutdown, a few seconds late; a long one asks for nothing and says so.
#include <QTest>

#include "engine/texts.h"
#include "harness.h"

using namespace zeravan;
using engine::LocalDateTime;
using zeravan::test::Harness;

Q_DECLARE_METATYPE(LocalDateTime)
Q_DECLARE_METATYPE(zeravan::engine::CivilDate)

namespace {

const engine::CivilDate day{2026, 12, 7};

long long secondOf(int minute, int second) {
    return engine::wallSeconds({day, {23, minute, second}});
}

bool isArmed(Harness& h) {
    return h.form1().Command4->text() == QStringLiteral("修改");
}

const QString missed = QStringLiteral("已错过关机，明天照常执行");

}  // namespace

class StallsTest : public QObject {
    Q_OBJECT
private slots:
    void stall_data();
    void stall();
    void missedTriggerComesTheNextDay();
    void countShowsTheTimeReallyLeft();
    void tomorrowByTheCalendar_data();
    void tomorrowByTheCalendar();
};

// Armed for 23:30 today; the last tick before the stall falls 100 ms before `second` (23:30:01
// the trigger, 23:30:31 the shutdown) and no tick runs for `stallMs`. The dialog opens in
// `opensIn` with the count `count` (0: never), the shutdown is asked for on every tick of
// `asksIn` (0: never), and the status line reads `status` in the end.
void StallsTest::stall_data() {
    QTest::addColumn<long long>("second");
    QTest::addColumn<int>("stallMs");
    QTest::addColumn<long long>("opensIn");
    QTest::addColumn<int>("count");
    QTest::addColumn<long long>("asksIn");
    QTest::addColumn<QString>("status");
    const long long trigger = secondOf(30, 1), shutdown = secondOf(30, 31);
    const QString running = QStringLiteral("执行中...");
    QTest::newRow("trigger, 1 s") << trigger << 1000 << trigger + 1 << 30 << shutdown << running;
    QTest::newRow("trigger, 3 s") << trigger << 3000 << trigger + 3 << 28 << shutdown << running;
    QTest::newRow("trigger, 10 s") << trigger << 10000 << 0LL << 0 << 0LL << missed;
    QTest::newRow("shutdown, 1 s") << shutdown << 1000 << trigger << 31 << shutdown + 1 << running;
    QTest::newRow("shutdown, 3 s") << shutdown << 3000 << trigger << 31 << shutdown + 3 << running;
    QTest::newRow("shutdown, 10 s") << shutdown << 10000 << trigger << 31 << 0LL << missed;
}

void StallsTest::stall() {
    QFETCH(long long, second);
    QFETCH(int, stallMs);
    QFETCH(long long, opensIn);
    QFETCH(int, count);
    QFETCH(long long, asksIn);
    QFETCH(QString, status);
    Harness h({day, {23, 29, 50}});
    h.arm(QStringLiteral("今天"), QStringLiteral("23"), QStringLiteral("30"));

    long long openedIn = 0;
    QString openingCount;
    QList<long long> asked;
    const auto watch = [&] {
        const long long now = h.clock.milliseconds() / 1000;
        if (h.dialog() && openedIn == 0) {
            openedIn = now;
            openingCount = h.dialog()->Label2->Caption();
        }
        while (asked.size() < h.power.count(QStringLiteral("PowerOff"))) asked << now;
    };
    h.run((second - secondOf(29, 50)) * 1000 - 100, watch);
    h.stall(stallMs);
    h.run(40000, watch);

    QCOMPARE(openedIn, opensIn);
    if (opensIn != 0) QCOMPARE(openingCount, QString::number(count));
    QCOMPARE(asked, asksIn == 0 ? QList<long long>{} : QList<long long>(10, asksIn));
    QCOMPARE(h.form1().Label6->Caption(), status);
    QVERIFY(isArmed(h));
    if (asksIn == 0 && opensIn != 0) {
        // The dialog says in words that nothing is coming, and counts no more.
        CountdownForm& dialog = *h.dialog();
        QCOMPARE(dialog.Label1->Caption(), QStringLiteral("已错过关机时间，明天照常执行"));
        QVERIFY(dialog.Label2->isHidden() && dialog.Label3->isHidden());
        QVERIFY(!dialog.Timer1->isActive() && !dialog.Timer2->isActive());
    }
}

// A trigger missed by a long stall leaves the schedule armed: the next day it opens as usual,
// and the status line goes back to saying the schedule runs.
void StallsTest::missedTriggerComesTheNextDay() {
    Harness h({day, {23, 29, 58}});
    h.arm(QStringLiteral("今天"), QStringLiteral("23"), QStringLiteral("30"));
    h.run(2900);
    h.stall(40000);
    h.run(1000);
    QVERIFY(!h.dialog());
    QCOMPARE(h.form1().Label6->Caption(), missed);
    h.jumpTo({engine::addDays(day, 1), {23, 29, 58}});
    h.run(3000);
    QVERIFY(h.dialog());
    QCOMPARE(h.dialog()->Label2->Caption(), QStringLiteral("31"));
    QCOMPARE(h.form1().Label6->Caption(), QStringLiteral("执行中..."));
}

// Held up for 5 s while counting, the count jumps to what is really left, not one less.
void StallsTest::countShowsTheTimeReallyLeft() {
    Harness h({day, {23, 29, 50}});
    h.arm(QStringLiteral("今天"), QStringLiteral("23"), QStringLiteral("30"));
    h.runUntil({day, {23, 30, 10}});
    QCOMPARE(h.dialog()->Label2->Caption(), QStringLiteral("22"));
    h.run(900);
    h.stall(5000);
    h.run(200);
    QCOMPARE(h.dialog()->Label2->Caption(), QStringLiteral("16"));
}

// 明天 armed in the evening of the 7th: however the program gets to a later day (held up across
// midnight, a suspend, the clock moved), the day choice reads 今天 on the chosen day and the
// shutdown comes in that day's 23:30:31 only. The last tick before the move is at `from`, the
// first after it at `to`, the steady time moving too only when the program was held up.
void StallsTest::tomorrowByTheCalendar_data() {
    QTest::addColumn<LocalDateTime>("armedAt");
    QTest::addColumn<LocalDateTime>("from");
    QTest::addColumn<LocalDateTime>("to");
    QTest::addColumn<bool>("heldUp");
    QTest::addColumn<QString>("dayChoice");
    QTest::addColumn<engine::CivilDate>("shutsDownOn");
    QTest::addColumn<QString>("status");
    const engine::CivilDate next = engine::addDays(day, 1), third = engine::addDays(day, 2);
    const LocalDateTime evening{day, {23, 59, 0}};
    const QString running = QStringLiteral("执行中...");
    QTest::newRow("held up 2 s across midnight")
        << evening << LocalDateTime{day, {23, 59, 59}} << LocalDateTime{next, {0, 0, 1}} << true
        << "今天" << next << running;
    QTest::newRow("suspended overnight")
        << evening << LocalDateTime{day, {23, 59, 30}} << LocalDateTime{next, {7, 0, 0}} << false
        << "今天" << next << running;
    QTest::newRow("clock set to the next evening")
        << evening << LocalDateTime{day, {23, 59, 30}} << LocalDateTime{next, {23, 29, 50}} << false
        << "今天" << next << running;
    QTest::newRow("clock set back across midnight")
        << LocalDateTime{next, {0, 0, 30}} << LocalDateTime{next, {0, 0, 40}}
        << LocalDateTime{day, {23, 59, 50}} << false << "明天" << third << running;
    QTest::newRow("suspended through the chosen day")
        << evening << LocalDateTime{day, {23, 59, 30}} << LocalDateTime{third, {7, 0, 0}} << false
        << "今天" << third << QStringLiteral("已错过关机，今天照常执行");
}

void StallsTest::tomorrowByTheCalendar() {
    QFETCH(LocalDateTime, armedAt);
    QFETCH(LocalDateTime, from);
    QFETCH(LocalDateTime, to);
    QFETCH(bool, heldUp);
    QFETCH(QString, dayChoice);
    QFETCH(engine::CivilDate, shutsDownOn);
    QFETCH(QString, status);
    Harness h(armedAt);
    h.arm(QStringLiteral("明天"), QStringLiteral("23"), QStringLiteral("30"));
    h.runUntil(from);
    const long long moveMs = (engine::wallSeconds(to) - engine::wallSeconds(from)) * 1000 - 100;
    if (heldUp) {
        h.stall(moveMs);
    } else {
        h.jumpTo(engine::fromWallSeconds(engine::wallSeconds(to) - 1));
        h.run(900);
    }
    h.run(1000);
    QCOMPARE(h.form1().Combo1->currentText(), dayChoice);
    QCOMPARE(h.form1().Label6->Caption(), status);

    // Nothing the evening before the chosen day, if that is still to come; then its second.
    QList<engine::CivilDate> asked;
    const auto watch = [&] {
        while (asked.size() < h.power.count(QStringLiteral("PowerOff")))
            asked << h.clock.now().date;
    };
    for (const engine::CivilDate& evening : {engine::addDays(shutsDownOn, -1), shutsDownOn}) {
        if (evening < h.clock.now().date) continue;
        h.jumpTo({evening, {23, 29, 50}});
        h.run(45000, watch);
        if (h.dialog()) forms::press(*h.dialog()->Command1);  // cancelled: not the chosen day
    }
    QCOMPARE(asked, QList<engine::CivilDate>(10, shutsDownOn));
}

QTEST_MAIN(StallsTest)
#include "test_stalls.moc"
