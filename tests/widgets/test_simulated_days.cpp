// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// A simulated run: the real handlers on the fake clock in 100 ms ticks, across midnights, month
// ends, a year end and onto and off a leap day, with schedules armed and cancelled on the way,
// and the rules that must hold checked after every tick. A tick costs about 15 µs (77 µs with
// the sanitizers), so every tick of a year, 315 million, would take 1.5 hours or more: the year
// is run tick by tick around each of its midnights and each schedule, and the clock jumps over
// the quiet daytime between them.
#include <QFile>
#include <QTest>
#include <optional>
#include <string>

#include "engine/texts.h"
#include "harness.h"

using namespace zeravan;
using engine::CivilDate;
using engine::LocalDateTime;
using zeravan::test::Harness;

namespace {

const QString today = QStringLiteral("今天");
const QString tomorrow = QStringLiteral("明天");

// Drives one harness and knows, from what it armed, in which seconds the dialog may open and
// the shutdown may be requested.
class Simulation {
public:
    explicit Simulation(const LocalDateTime& start) : h_(start) {}

    long long ticks() const { return ticks_; }
    // Counted as the calls come: recounting the year's record on every tick took half the run.
    qsizetype powerOffs() {
        const QStringList& calls = h_.power.calls;
        for (; callsCounted_ < calls.size(); ++callsCounted_) {
            if (calls[callsCounted_] == QLatin1String("PowerOff")) ++powerOffs_;
        }
        return powerOffs_;
    }

    void arm(const QString& day, int hour, int minute) {
        const CivilDate date = h_.clock.now().date;
        h_.arm(day, QString::number(hour), QString::number(minute));
        QVERIFY(h_.isArmed());
        const CivilDate target = day == today ? date : engine::addDays(date, 1);
        trigger_ = engine::wallSeconds({target, {hour, minute, 1}});
    }

    void disarm() {
        QVERIFY(h_.isArmed());
        forms::press(*h_.form1().Command4);
        QVERIFY(!h_.isArmed());
        trigger_.reset();
    }

    void cancelInDialog() {
        QVERIFY(h_.dialog());
        forms::press(*h_.dialog()->Command1);
        QVERIFY(!h_.dialog() && !h_.isArmed());
        trigger_.reset();
        dialogWasOpen_ = false;
    }

    // Closed as its window would be: the schedule stays armed, its trigger second gone by.
    void closeDialog() {
        QVERIFY(h_.dialog());
        h_.dialog()->Unload();
        QVERIFY(!h_.dialog() && h_.isArmed());
        dialogWasOpen_ = false;
    }

    void jumpTo(const LocalDateTime& moment) { h_.jumpTo(moment); }
    void runUntil(const LocalDateTime& moment) {
        h_.runUntil(moment, [this] { checkTick(); });
    }

    // The half minute each side of the midnight after `day`, idle, with 明天 chosen: the choice
    // returns to 今天 in the first second of the new day.
    void midnightOnly(const CivilDate& day) {
        jumpTo({day, {23, 59, 30}});
        h_.form1().Combo1->setEditText(tomorrow);
        runUntil({day, {23, 59, 59}});
        QCOMPARE(h_.dayChoice(), tomorrow);
        runUntil({engine::addDays(day, 1), {0, 0, 30}});
        QCOMPARE(h_.dayChoice(), today);
        QCOMPARE(h_.form1().Text4.Text,
                 QString::fromStdString(engine::dateText(engine::addDays(day, 1))));
    }

    // From 23:57 on `day` to 0:05 on the next: every way a schedule ends, around the midnight.
    void acrossMidnight(const CivilDate& day) {
        const CivilDate next = engine::addDays(day, 1);
        jumpTo({day, {23, 57, 0}});
        arm(today, 23, 58);
        runUntil({day, {23, 58, 20}});
        closeDialog();
        runUntil({day, {23, 58, 40}});
        disarm();

        arm(tomorrow, 0, 1);  // chosen before the midnight that turns the day choice to 今天
        const qsizetype before = powerOffs();
        runUntil({next, {0, 1, 45}});
        QCOMPARE(powerOffs(), before + 10);  // each tick of the shutdown second asks
        cancelInDialog();

        arm(today, 0, 3);
        runUntil({next, {0, 2, 50}});
        disarm();  // before its trigger: nothing opens

        arm(today, 0, 4);
        runUntil({next, {0, 4, 15}});
        cancelInDialog();  // before its shutdown second: nothing is asked
        runUntil({next, {0, 5, 0}});
        QCOMPARE(powerOffs(), before + 10);
    }

private:
    void checkTick() {
        ++ticks_;
        if (QTest::currentTestFailed()) return;  // one failure is enough, not one per tick
        const long long now = engine::wallSeconds(h_.clock.now());
        const std::string when = engine::nowString(h_.clock.now());
        MainWindowForm& form = h_.form1();
        const bool dialogOpen = h_.dialog() != nullptr;
        if (dialogOpen && !dialogWasOpen_) {
            QVERIFY2(trigger_ && now == *trigger_,
                     ("opened outside a trigger second: " + when).c_str());
            powerOffsAtOpening_ = powerOffs();
        }
        QVERIFY2(dialogOpen || !dialogWasOpen_, ("closed by itself: " + when).c_str());
        if (h_.isArmed() && trigger_ && now == *trigger_) {
            QVERIFY2(dialogOpen, ("not open in the trigger second: " + when).c_str());
        }
        dialogWasOpen_ = dialogOpen;

        if (powerOffs() != powerOffsSeen_) {
            QVERIFY2(trigger_ && now == *trigger_ + 30,
                     ("asked outside the shutdown second: " + when).c_str());
        }
        powerOffsSeen_ = powerOffs();

        if (!h_.isArmed()) {
            QVERIFY2(form.Text2.Text.isEmpty() && form.Text3.Text.isEmpty(),
                     ("idle with a schedule: " + when).c_str());
        }
        if (dialogOpen) {
            bool number = false;
            const int count = h_.countShown().toInt(&number);
            // Below zero only once the shutdown has been asked for, as the machine goes down.
            QVERIFY2(number && count <= 31 && (count >= 0 || powerOffs() > powerOffsAtOpening_),
                     ("count below zero with no shutdown asked for: " + when).c_str());
        }
    }

    Harness h_;
    std::optional<long long> trigger_;
    bool dialogWasOpen_ = false;
    qsizetype callsCounted_ = 0;
    qsizetype powerOffs_ = 0;
    qsizetype powerOffsSeen_ = 0;
    qsizetype powerOffsAtOpening_ = 0;
    long long ticks_ = 0;
};

}  // namespace

class SimulatedDaysTest : public QObject {
    Q_OBJECT
private slots:
    void stretches();
    void wholeYear();
};

namespace {

// Resident memory, for the figures the bench script reads off the test's output.
QByteArray residentMemory() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return "unknown";
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed();
    }
    return "unknown";
}

bool endsAMonth(const CivilDate& day) {
    return engine::addDays(day, 1).day == 1;
}

}  // namespace

void SimulatedDaysTest::stretches() {
    Simulation run({{2026, 12, 7}, {23, 56, 0}});
    // A plain midnight, the year end, month ends, onto the leap day and off it.
    for (const CivilDate& day :
         {CivilDate{2026, 12, 7}, CivilDate{2026, 12, 31}, CivilDate{2027, 1, 31},
          CivilDate{2027, 2, 28}, CivilDate{2028, 2, 28}, CivilDate{2028, 2, 29}}) {
        run.acrossMidnight(day);
        if (QTest::currentTestFailed()) return;
    }
    qInfo("%lld ticks simulated", run.ticks());
}

// Every midnight of the leap year 2028 and the one before it; a week's schedules around every
// seventh midnight and every month end.
void SimulatedDaysTest::wholeYear() {
    const CivilDate eve{2027, 12, 31};
    Simulation run({eve, {23, 56, 0}});
    qInfo("resident memory at the start: %s", residentMemory().constData());
    for (CivilDate day = eve; day.year < 2029; day = engine::addDays(day, 1)) {
        const int dayOfYear =
            static_cast<int>(engine::wallSeconds({day, {}}) - engine::wallSeconds({eve, {}})) /
            86400;
        if (endsAMonth(day) || dayOfYear % 7 == 0) {
            run.acrossMidnight(day);
        } else {
            run.midnightOnly(day);
        }
        if (QTest::currentTestFailed()) return;
        if (endsAMonth(day)) {
            qInfo("resident memory after %d/%d: %s", day.year, day.month,
                  residentMemory().constData());
        }
    }
    qInfo("%lld ticks simulated", run.ticks());
}

QTEST_MAIN(SimulatedDaysTest)
#include "test_simulated_days.moc"
