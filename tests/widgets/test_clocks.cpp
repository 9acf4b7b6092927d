// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The schedule against clocks that do not run straight: daylight saving changes in two time
// zones, read through the zone as the program's clock reads them, and a wall clock set forward
// or back while the steady timers go on.
#include <QTest>
#include <algorithm>
#include <ctime>

#include "engine/texts.h"
#include "harness.h"

using namespace zeravan;
using engine::LocalDateTime;
using zeravan::test::Harness;

Q_DECLARE_METATYPE(LocalDateTime)

namespace {

// What the ticks of a run did: the clock's seconds in which the dialog opened, with the count
// it opened with, and in which a shutdown was asked for, one entry a tick.
struct Record {
    QList<long long> opened;
    QStringList openingCounts;
    QList<long long> asked;
};

void runRecording(Harness& h, long long milliseconds, Record& record) {
    bool open = h.dialog() != nullptr;
    qsizetype asked = h.power.count(QStringLiteral("PowerOff"));
    h.run(milliseconds, [&] {
        const long long second = h.clock.milliseconds() / 1000;
        if (h.dialog() && !open) {
            record.opened << second;
            record.openingCounts << h.dialog()->Label2->Caption();
        }
        open = h.dialog() != nullptr;
        for (; asked < h.power.count(QStringLiteral("PowerOff")); ++asked) record.asked << second;
    });
}

QList<long long> tenTimes(long long second) {
    return QList<long long>(10, second);
}

// Runs in the zone given, restoring the process's own afterwards.
class ZoneScope {
public:
    explicit ZoneScope(const QByteArray& zone) : saved_(qgetenv("TZ")) {
        qputenv("TZ", zone);
        tzset();
    }
    ~ZoneScope() {
        qputenv("TZ", saved_);
        tzset();
    }

private:
    QByteArray saved_;
};

long long utc(int year, int month, int day, int hour, int minute, int second) {
    return engine::wallSeconds({{year, month, day}, {hour, minute, second}});
}

bool isArmed(Harness& h) {
    return h.form1().Command4->text() == QStringLiteral("修改");
}

}  // namespace

class ClocksTest : public QObject {
    Q_OBJECT
private slots:
    void daylightSaving_data();
    void daylightSaving();
    void skippedTimeFiresTheNextDay();
    void clockSet_data();
    void clockSet();
};

// Armed at `armedAt` for `hour`:`minute` today and run to `until` (all instants in UTC):
// the dialog opens in `opens` only (0: never), and the shutdown is asked for in every tick of
// the second 30 s later and in no other, unless the dialog was closed at `closedAt`.
void ClocksTest::daylightSaving_data() {
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<long long>("armedAt");
    QTest::addColumn<QString>("hour");
    QTest::addColumn<long long>("opens");
    QTest::addColumn<long long>("closedAt");
    QTest::addColumn<long long>("until");
    const QByteArray berlin("Europe/Berlin"), newYork("America/New_York");
    // Berlin, 28 March 2027: 2:00 CET turns into 3:00 CEST; 2:30 never comes.
    QTest::newRow("Berlin, spring, 2:30 skipped")
        << berlin << utc(2027, 3, 28, 0, 58, 0) << "2" << 0LL << 0LL << utc(2027, 3, 28, 1, 5, 0);
    // New York, 14 March 2027: 2:00 EST turns into 3:00 EDT.
    QTest::newRow("New York, spring, 2:30 skipped")
        << newYork << utc(2027, 3, 14, 6, 58, 0) << "2" << 0LL << 0LL << utc(2027, 3, 14, 7, 5, 0);
    // Berlin, 31 October 2027: 3:00 CEST turns back into 2:00 CET; 2:30 comes twice.
    QTest::newRow("Berlin, autumn, shut down in the first 2:30")
        << berlin << utc(2027, 10, 30, 23, 58, 0) << "2" << utc(2027, 10, 31, 0, 30, 1) << 0LL
        << utc(2027, 10, 31, 1, 32, 0);
    QTest::newRow("Berlin, autumn, closed in the first 2:30")
        << berlin << utc(2027, 10, 30, 23, 58, 0) << "2" << utc(2027, 10, 31, 0, 30, 1)
        << utc(2027, 10, 31, 0, 30, 10) << utc(2027, 10, 31, 1, 32, 0);
    // New York, 7 November 2027: 2:00 EDT turns back into 1:00 EST; 1:30 comes twice.
    QTest::newRow("New York, autumn, shut down in the first 1:30")
        << newYork << utc(2027, 11, 7, 4, 58, 0) << "1" << utc(2027, 11, 7, 5, 30, 1) << 0LL
        << utc(2027, 11, 7, 6, 32, 0);
    QTest::newRow("New York, autumn, closed in the first 1:30")
        << newYork << utc(2027, 11, 7, 4, 58, 0) << "1" << utc(2027, 11, 7, 5, 30, 1)
        << utc(2027, 11, 7, 5, 30, 10) << utc(2027, 11, 7, 6, 32, 0);
}

void ClocksTest::daylightSaving() {
    QFETCH(QByteArray, zone);
    QFETCH(long long, armedAt);
    QFETCH(QString, hour);
    QFETCH(long long, opens);
    QFETCH(long long, closedAt);
    QFETCH(long long, until);
    ZoneScope inZone(zone);
    Harness h;
    h.jumpToInstant(armedAt);
    h.run(1000);
    h.arm(QStringLiteral("今天"), hour, QStringLiteral("30"));
    QVERIFY(isArmed(h));

    Record record;
    if (closedAt != 0) {
        runRecording(h, (closedAt - armedAt - 1) * 1000, record);
        QVERIFY(h.dialog());
        h.dialog()->Unload();
    }
    runRecording(h, (until * 1000) - h.clock.milliseconds(), record);

    QCOMPARE(record.opened, opens == 0 ? QList<long long>{} : QList<long long>{opens});
    QCOMPARE(record.asked, opens == 0 || closedAt != 0 ? QList<long long>{} : tenTimes(opens + 30));
    QVERIFY(isArmed(h));
}

// A time the night skips does not come that night; the schedule stays armed and, the day
// choice having turned to 今天 at midnight, comes the next night at the same time.
void ClocksTest::skippedTimeFiresTheNextDay() {
    ZoneScope inZone("Europe/Berlin");
    Harness h;
    h.jumpToInstant(utc(2027, 3, 27, 21, 59, 0));  // 22:59 CET, the evening before
    h.run(1000);
    h.arm(QStringLiteral("明天"), QStringLiteral("2"), QStringLiteral("30"));
    Record record;
    runRecording(h, (utc(2027, 3, 28, 1, 5, 0) - utc(2027, 3, 27, 21, 59, 1)) * 1000, record);
    QVERIFY(record.opened.isEmpty());
    QCOMPARE(h.form1().Combo1->currentText(), QStringLiteral("今天"));
    QCOMPARE(h.form1().Label6->Caption(), QStringLiteral("已错过关机，明天照常执行"));

    h.jumpToInstant(utc(2027, 3, 29, 0, 29, 50));  // 2:29:50 CEST the next night
    runRecording(h, 45000, record);
    QCOMPARE(record.opened, QList<long long>{utc(2027, 3, 29, 0, 30, 1)});
    QCOMPARE(record.asked, tenTimes(utc(2027, 3, 29, 0, 30, 31)));
    QCOMPARE(h.form1().Label6->Caption(), QStringLiteral("执行中..."));
}

// Armed for 23:30 today and run to `jumpAt`, the wall clock is set to `jumpTo`, and the run
// goes on to 23:33 by the wall clock. The dialog opens in `opensIn` (0: never) with the count
// `count`, and the shutdown is asked for on every tick of `asksIn` (0: never): the first
// 23:30:31 the watcher sees, or a second at most five seconds after it that the clock was set
// into. The status line reads `status` in the end.
void ClocksTest::clockSet_data() {
    QTest::addColumn<LocalDateTime>("jumpAt");
    QTest::addColumn<LocalDateTime>("jumpTo");
    QTest::addColumn<int>("opensIn");  // second of the minute 23:30
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("asksIn");  // second of the minute 23:30
    QTest::addColumn<QString>("status");
    const engine::CivilDate day{2026, 12, 7};
    const auto at = [day](int minute, int second) {
        return LocalDateTime{day, {23, minute, second}};
    };
    const QString running = QStringLiteral("执行中..."),
                  missed = QStringLiteral("已错过关机，明天照常执行");
    QTest::newRow("forward just over the trigger")
        << at(29, 59) << at(30, 5) << 5 << 27 << 31 << running;
    QTest::newRow("forward over the trigger") << at(29, 59) << at(30, 7) << 0 << 0 << 0 << missed;
    QTest::newRow("forward into the shutdown second")
        << at(29, 59) << at(30, 31) << 0 << 0 << 0 << missed;
    QTest::newRow("forward just over the shutdown second")
        << at(30, 20) << at(30, 34) << 1 << 31 << 34 << running;
    QTest::newRow("forward over the shutdown second")
        << at(30, 20) << at(30, 40) << 1 << 31 << 0 << missed;
    QTest::newRow("back during the countdown")
        << at(30, 10) << at(29, 30) << 1 << 31 << 31 << running;
    QTest::newRow("back after the shutdown second")
        << at(30, 40) << at(29, 55) << 1 << 31 << 31 << running;
    QTest::newRow("back into the trigger second")
        << at(30, 20) << at(30, 1) << 1 << 31 << 31 << running;
}

void ClocksTest::clockSet() {
    QFETCH(LocalDateTime, jumpAt);
    QFETCH(LocalDateTime, jumpTo);
    QFETCH(int, opensIn);
    QFETCH(int, count);
    QFETCH(int, asksIn);
    QFETCH(QString, status);
    const engine::CivilDate day{2026, 12, 7};
    const auto second = [day](int s) { return engine::wallSeconds({day, {23, 30, s}}); };
    Harness h({day, {23, 29, 0}});
    h.arm(QStringLiteral("今天"), QStringLiteral("23"), QStringLiteral("30"));
    Record record;
    runRecording(h, (engine::wallSeconds(jumpAt) - engine::wallSeconds(h.clock.now())) * 1000,
                 record);
    h.jumpTo(jumpTo);
    runRecording(h, (engine::wallSeconds({day, {23, 33, 0}}) - engine::wallSeconds(jumpTo)) * 1000,
                 record);

    QCOMPARE(record.opened, opensIn != 0 ? QList<long long>{second(opensIn)} : QList<long long>{});
    if (opensIn != 0) QCOMPARE(record.openingCounts, QStringList{QString::number(count)});
    // Every tick of that second asks: ten, or nine when the clock was set into it.
    const QList<long long> askedIn(record.asked.begin(),
                                   std::unique(record.asked.begin(), record.asked.end()));
    QCOMPARE(askedIn, asksIn != 0 ? QList<long long>{second(asksIn)} : QList<long long>{});
    QVERIFY(asksIn == 0 || record.asked.size() >= 9);
    QCOMPARE(h.form1().Label6->Caption(), status);
}

QTEST_MAIN(ClocksTest)
#include "test_clocks.moc"
