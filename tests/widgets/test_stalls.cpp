// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The schedule when the program is held up across one of its seconds (a busy or swapping
// machine, a debugger, a stop signal): a short stall still opens the countdown and still asks
// for the shutdown, a few seconds late; a long one asks for nothing and says so.
#include <QTest>

#include "engine/texts.h"
#include "tests/widgets/harness.h"

using namespace zeravan;
using engine::LocalDateTime;
using zeravan::test::Harness;

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

QTEST_MAIN(StallsTest)
#include "test_stalls.moc"
