// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The main window's clock and the schedule along timelines: ticks in a row, the program held up
// (a busy machine, a debugger, a stop signal, a suspend), the wall clock set forward or back
// while the steady timers go on, and daylight saving changes read through the time zone.
#include <QTest>
#include <ctime>
#include <optional>

#include "harness.h"

using namespace zeravan;
using engine::LocalDateTime;
using zeravan::test::Harness;

namespace {

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
    ZoneScope(const ZoneScope&) = delete;
    ZoneScope& operator=(const ZoneScope&) = delete;

private:
    QByteArray saved_;
};

// "2026-12-07 23:30:01", or "23:30:01" on the clock's day.
LocalDateTime moment(const QString& text, const engine::CivilDate& today) {
    const QStringList parts = text.split(u' ');
    const QStringList time = parts.last().split(u':');
    engine::CivilDate date = today;
    if (parts.size() == 2) {
        const QStringList day = parts.first().split(u'-');
        date = {day[0].toInt(), day[1].toInt(), day[2].toInt()};
    }
    return {date, {time[0].toInt(), time[1].toInt(), time[2].toInt()}};
}

QString yesNo(bool value) {
    return value ? QStringLiteral("yes") : QStringLiteral("no");
}

// Plays a timeline step by step on the real forms, and notes on every tick in which second
// (the wall clock's, or UTC on a zoned clock) the dialog opened, with its count, and the
// shutdown was asked for.
class Timeline {
public:
    void play(const QStringList& steps) {
        for (const QString& step : steps) {
            if (QTest::currentTestFailed()) return;
            const QString verb = step.section(u' ', 0, 0), rest = step.section(u' ', 1);
            if (verb == QLatin1String("expect")) {
                expect(rest.section(u' ', 0, 0), rest.section(u' ', 1));
            } else {
                act(verb, rest);
            }
        }
    }

private:
    void act(const QString& verb, const QString& rest) {
        if (verb == QLatin1String("zone")) {
            zone_.emplace(rest.toLatin1());
        } else if (verb == QLatin1String("at")) {  // a bare wall clock, started or set
            const LocalDateTime to = moment(rest, h_ ? h_->clock.now().date : LocalDateTime{}.date);
            if (h_) {
                h_->jumpTo(to);
            } else {
                h_.emplace(to);
            }
        } else if (verb == QLatin1String("utc")) {  // the clock read through the zone
            if (!h_) h_.emplace();
            h_->jumpToInstant(engine::wallSeconds(moment(rest, {})));
        } else if (verb == QLatin1String("arm")) {
            const QStringList choice = rest.split(u' ');
            h_->arm(choice[0], choice[1], choice[2]);
        } else if (verb == QLatin1String("day")) {
            h_->form1().Combo1->setEditText(rest);
        } else if (verb == QLatin1String("run")) {
            run(rest.toLongLong());
        } else if (verb == QLatin1String("until")) {
            run(engine::wallSeconds(moment(rest, h_->clock.now().date)) * 1000 -
                h_->clock.milliseconds());
        } else if (verb == QLatin1String("stall")) {
            h_->stall(rest.toLongLong());
        } else if (verb == QLatin1String("tick")) {  // the clock's own tick, alone
            h_->form1().Timer2_Timer();
        } else if (verb == QLatin1String("scribble")) {  // on what the tick writes
            h_->form1().Text5.Text = QStringLiteral("changed");
            h_->form1().Label7->setCaption(QStringLiteral("changed"));
        } else if (verb == QLatin1String("close")) {
            h_->dialog()->Unload();
        } else if (verb == QLatin1String("cancel")) {
            if (h_->dialog()) forms::press(*h_->dialog()->Command1);
        } else {
            QFAIL(qPrintable(QStringLiteral("unknown step ") + verb));
        }
    }

    void expect(const QString& what, const QString& expected) {
        MainWindowForm& form = h_->form1();
        QString actual;
        if (what == QLatin1String("opened")) {
            actual = opened_.join(QStringLiteral(", "));
        } else if (what == QLatin1String("asked")) {
            actual = asked();
        } else if (what == QLatin1String("status")) {
            actual = h_->status();
        } else if (what == QLatin1String("day")) {
            actual = h_->dayChoice();
        } else if (what == QLatin1String("dayEnabled")) {
            actual = yesNo(form.Combo1->isEnabled());
        } else if (what == QLatin1String("armed")) {
            actual = yesNo(h_->isArmed());
        } else if (what == QLatin1String("weekday")) {
            actual = form.Label7->Caption();
        } else if (what == QLatin1String("target")) {
            actual = form.Text4.Text;
        } else if (what == QLatin1String("time")) {
            actual = form.Text5.Text;
        } else if (what == QLatin1String("dialog")) {
            actual = h_->dialog() ? h_->dialog()->Label1->Caption() : QStringLiteral("none");
        } else if (what == QLatin1String("count")) {
            actual = h_->countShown();
        } else if (what == QLatin1String("counting")) {
            const CountdownForm& dialog = *h_->dialog();
            actual = yesNo(!dialog.Label2->isHidden() || !dialog.Label3->isHidden() ||
                           dialog.Timer1->isActive() || dialog.Timer2->isActive());
        } else {
            QFAIL(qPrintable(QStringLiteral("unknown check ") + what));
        }
        QCOMPARE(actual, expected);
    }

    void run(long long milliseconds) {
        h_->run(milliseconds, [this] {
            const LocalDateTime now = engine::fromWallSeconds(h_->clock.milliseconds() / 1000);
            const QString second =
                QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", now.date.year, now.date.month,
                                  now.date.day, now.time.hour, now.time.minute, now.time.second);
            if (h_->dialog() && !open_)
                opened_ << second + QStringLiteral(" (%1)").arg(h_->countShown());
            open_ = h_->dialog() != nullptr;
            while (asks_.size() < h_->power.count(QStringLiteral("PowerOff"))) asks_ << second;
        });
    }

    // One entry a second: "2026-12-07 23:30:31 ×10".
    QString asked() const {
        QStringList seconds;
        for (qsizetype first = 0, next = 0; first < asks_.size(); first = next) {
            while (next < asks_.size() && asks_[next] == asks_[first]) ++next;
            seconds << asks_[first] + QStringLiteral(" ×%1").arg(next - first);
        }
        return seconds.join(QStringLiteral(", "));
    }

    std::optional<ZoneScope> zone_;  // outlives the harness, which reads the clock through it
    std::optional<Harness> h_;
    QStringList opened_;
    QStringList asks_;
    bool open_ = false;
};

}  // namespace

class TimelineTest : public QObject {
    Q_OBJECT
private slots:
    void timeline_data();
    void timeline();
};

// Each row a timeline: `at` starts or sets a bare wall clock, `utc` a clock read through the
// `zone`; `arm` presses confirm with the day, hour and minute; `run` and `until` tick every
// 100 ms; `stall` moves the wall clock and steady time on with no tick; `expect` checks what a
// person would see, or what the ticks did so far (`opened`, `asked`).
void TimelineTest::timeline_data() {
    QTest::addColumn<QStringList>("steps");
    const QString running = QStringLiteral("expect status 执行中...");
    const QString missed = QStringLiteral("expect status 已错过关机，明天照常执行");

    // The clock's line: weekday, the target day of the day choice, the time.
    const auto display = [](const char* tag, const char* at, const char* day, const char* weekday,
                            const char* target, const char* time) {
        QTest::newRow(tag) << QStringList{QStringLiteral("at ") + at,
                                          QStringLiteral("day ") + day,
                                          QStringLiteral("tick"),
                                          QStringLiteral("expect weekday ") + weekday,
                                          QStringLiteral("expect target ") + target,
                                          QStringLiteral("expect time ") + time};
    };
    display("sunday today", "2026-12-06 09:05:07", "今天", "星期日", "2026/12/6", "9:05:07");
    display("monday tomorrow", "2026-12-07 23:59:59", "明天", "星期一", "2026/12/8", "23:59:59");
    display("saturday", "2026-12-12 14:33:01", "今天", "星期六", "2026/12/12", "14:33:01");
    display("new year's eve tomorrow", "2026-12-31 12:00:00", "明天", "星期四", "2027/1/1",
            "12:00:00");
    display("leap february tomorrow", "2028-02-28 12:00:00", "明天", "星期一", "2028/2/29",
            "12:00:00");
    display("first item and a blank is tomorrow", "2026-12-07 12:00:00", "今天 ", "星期一",
            "2026/12/8", "12:00:00");
    display("empty day is tomorrow", "2026-12-07 12:00:00", "", "星期一", "2026/12/8", "12:00:00");
    QTest::newRow("every tick rewrites the clock's line")
        << QStringList{"at 2026-12-07 12:00:00", "tick", "scribble", "tick", "expect time 12:00:00",
                       "expect weekday 星期一"};
    QTest::newRow("new day within one tick") << QStringList{"at 2026-12-06 23:59:59",
                                                            "run 900",
                                                            "expect weekday 星期日",
                                                            "expect target 2026/12/6",
                                                            "run 100",
                                                            "expect time 0:00:00",
                                                            "expect weekday 星期一",
                                                            "expect target 2026/12/7"};

    // 明天 turns into 今天 in the first tick of 0:00:00, and only then.
    for (const bool armed : {false, true}) {
        QTest::newRow(armed ? "day choice at midnight, armed" : "day choice at midnight, idle")
            << QStringList{"at 2026-12-07 23:59:58", armed ? "arm 明天 1 00" : "day 明天",
                           QStringLiteral("expect dayEnabled ") + yesNo(!armed), "run 1000",
                           "expect target 2026/12/8", "run 1000", "expect day 今天",
                           // "明天" chosen on the 7th meant the 8th, and so does "今天" now.
                           "run 100", "expect target 2026/12/8",
                           QStringLiteral("expect dayEnabled ") + yesNo(!armed)};
    }
    for (const char* start : {"2026-12-08 02:33:00", "2026-12-08 14:33:00", "2026-12-08 00:00:01",
                              "2026-12-08 23:59:57"}) {
        QTest::newRow(qPrintable(QStringLiteral("day choice kept from ") + start)) << QStringList{
            QStringLiteral("at ") + start, "day 明天", "run 2000", "expect day 明天"};
    }

    // Held up across the trigger (23:30:01) or the shutdown second (23:30:31), the last tick
    // before 100 ms ahead of it: a short stall opens and asks late, a long one says it missed.
    const auto stall = [&](const char* tag, const char* runMs, const char* stallMs,
                           const char* opened, const char* asked, const QString& status) {
        QTest::newRow(tag) << QStringList{"at 2026-12-07 23:29:50",
                                          "arm 今天 23 30",
                                          QStringLiteral("run ") + runMs,
                                          QStringLiteral("stall ") + stallMs,
                                          "run 40000",
                                          QStringLiteral("expect opened ") + opened,
                                          QStringLiteral("expect asked ") + asked,
                                          status,
                                          "expect armed yes"};
    };
    stall("trigger held up 1 s", "10900", "1000", "2026-12-07 23:30:02 (30)",
          "2026-12-07 23:30:31 ×10", running);
    stall("trigger held up 3 s", "10900", "3000", "2026-12-07 23:30:04 (28)",
          "2026-12-07 23:30:31 ×10", running);
    stall("trigger held up 10 s", "10900", "10000", "", "", missed);
    stall("shutdown held up 1 s", "40900", "1000", "2026-12-07 23:30:01 (31)",
          "2026-12-07 23:30:32 ×10", running);
    stall("shutdown held up 3 s", "40900", "3000", "2026-12-07 23:30:01 (31)",
          "2026-12-07 23:30:34 ×10", running);
    stall("shutdown held up 10 s", "40900", "10000", "2026-12-07 23:30:01 (31)", "", missed);
    QTest::newRow("shutdown held up 10 s, the dialog says so")
        << QStringList{"at 2026-12-07 23:29:50",
                       "arm 今天 23 30",
                       "run 40900",
                       "stall 10000",
                       "run 1000",
                       "expect dialog 已错过关机时间，明天照常执行",
                       "expect counting no"};
    QTest::newRow("trigger missed, the next day as usual") << QStringList{"at 2026-12-07 23:29:58",
                                                                          "arm 今天 23 30",
                                                                          "run 2900",
                                                                          "stall 40000",
                                                                          "run 1000",
                                                                          "expect dialog none",
                                                                          missed,
                                                                          "at 2026-12-08 23:29:58",
                                                                          "run 3000",
                                                                          "expect count 31",
                                                                          running};
    QTest::newRow("held up while counting, the count shows the time really left")
        << QStringList{"at 2026-12-07 23:29:50",
                       "arm 今天 23 30",
                       "until 23:30:10",
                       "expect count 22",
                       "run 900",
                       "stall 5000",
                       "run 200",
                       "expect count 16"};

    // The wall clock set from `from` to `to` while armed for 23:30 today, then run to 23:33: the
    // first 23:30:31 the watcher sees asks, or a second at most five seconds after it that the
    // clock was set into.
    const auto set = [&](const char* tag, const char* from, const char* to, const char* opened,
                         const char* asked, const QString& status) {
        QTest::newRow(tag) << QStringList{"at 2026-12-07 23:29:00",
                                          "arm 今天 23 30",
                                          QStringLiteral("until ") + from,
                                          QStringLiteral("at ") + to,
                                          "until 23:33:00",
                                          QStringLiteral("expect opened ") + opened,
                                          QStringLiteral("expect asked ") + asked,
                                          status};
    };
    const char* openedOnTime = "2026-12-07 23:30:01 (31)";
    const char* askedOnTime = "2026-12-07 23:30:31 ×10";
    set("set forward just over the trigger", "23:29:59", "23:30:05", "2026-12-07 23:30:05 (27)",
        askedOnTime, running);
    set("set forward over the trigger", "23:29:59", "23:30:07", "", "", missed);
    set("set forward into the shutdown second", "23:29:59", "23:30:31", "", "", missed);
    set("set forward just over the shutdown second", "23:30:20", "23:30:34", openedOnTime,
        "2026-12-07 23:30:34 ×9", running);  // set into it: nine ticks left
    set("set forward over the shutdown second", "23:30:20", "23:30:40", openedOnTime, "", missed);
    set("set back during the countdown", "23:30:10", "23:29:30", openedOnTime, askedOnTime,
        running);
    set("set back after the shutdown second", "23:30:40", "23:29:55", openedOnTime, askedOnTime,
        running);
    set("set back into the trigger second", "23:30:20", "23:30:01", openedOnTime, askedOnTime,
        running);

    // 明天 armed in the evening of the 7th: however the program gets to a later day, the day
    // choice reads 今天 on the chosen day and the shutdown comes in that day's 23:30:31 only.
    const auto later = [&](const char* tag, const char* armedAt, const QStringList& move,
                           const char* day, const QString& status, const QStringList& evenings,
                           const char* asked) {
        QStringList steps{QStringLiteral("at ") + armedAt, "arm 明天 23 30"};
        steps << move << QStringLiteral("expect day ") + day << status;
        for (const QString& evening : evenings) {
            steps << QStringLiteral("at ") + evening + QStringLiteral(" 23:29:50") << "run 45000"
                  << "cancel";  // not the chosen day, if it came
        }
        QTest::newRow(tag) << (steps << QStringLiteral("expect asked ") + asked);
    };
    const char* evening = "2026-12-07 23:59:00";
    later("held up 2 s across midnight", evening, {"until 23:59:59", "stall 1900", "run 1000"},
          "今天", running, {"2026-12-08"}, "2026-12-08 23:30:31 ×10");
    later("suspended overnight", evening, {"until 23:59:30", "at 2026-12-08 06:59:59", "run 1900"},
          "今天", running, {"2026-12-08"}, "2026-12-08 23:30:31 ×10");
    later("clock set to the next evening", evening,
          {"until 23:59:30", "at 2026-12-08 23:29:49", "run 1900"}, "今天", running, {"2026-12-08"},
          "2026-12-08 23:30:31 ×10");
    later("clock set back across midnight", "2026-12-08 00:00:30",
          {"until 00:00:40", "at 2026-12-07 23:59:49", "run 1900"}, "明天", running,
          {"2026-12-08", "2026-12-09"}, "2026-12-09 23:30:31 ×10");
    later("suspended through the chosen day", evening,
          {"until 23:59:30", "at 2026-12-09 06:59:59", "run 1900"}, "今天",
          QStringLiteral("expect status 已错过关机，今天照常执行"), {"2026-12-09"},
          "2026-12-09 23:30:31 ×10");

    // Daylight saving: a time the night skips does not come; one it brings twice comes the
    // first time only, and closing the dialog then leaves nothing for the second.
    const auto zoned = [&](const char* tag, const char* zone, const char* armedAt, const char* hour,
                           const QStringList& middle, const char* until, const char* opened,
                           const char* asked) {
        QStringList steps{QStringLiteral("zone ") + zone, QStringLiteral("utc ") + armedAt,
                          "run 1000", QStringLiteral("arm 今天 ") + hour + QStringLiteral(" 30")};
        QTest::newRow(tag) << (steps << middle << QStringLiteral("until ") + until
                                     << QStringLiteral("expect opened ") + opened
                                     << QStringLiteral("expect asked ") + asked
                                     << "expect armed yes");
    };
    // Berlin, 28 March 2027: 2:00 CET turns into 3:00 CEST; 2:30 never comes.
    zoned("Berlin, spring, 2:30 skipped", "Europe/Berlin", "2027-03-28 00:58:00", "2", {},
          "2027-03-28 01:05:00", "", "");
    // New York, 14 March 2027: 2:00 EST turns into 3:00 EDT.
    zoned("New York, spring, 2:30 skipped", "America/New_York", "2027-03-14 06:58:00", "2", {},
          "2027-03-14 07:05:00", "", "");
    // Berlin, 31 October 2027: 3:00 CEST turns back into 2:00 CET; 2:30 comes twice.
    zoned("Berlin, autumn, shut down in the first 2:30", "Europe/Berlin", "2027-10-30 23:58:00",
          "2", {}, "2027-10-31 01:32:00", "2027-10-31 00:30:01 (31)", "2027-10-31 00:30:31 ×10");
    zoned("Berlin, autumn, closed in the first 2:30", "Europe/Berlin", "2027-10-30 23:58:00", "2",
          {"until 2027-10-31 00:30:10", "close"}, "2027-10-31 01:32:00", "2027-10-31 00:30:01 (31)",
          "");
    // New York, 7 November 2027: 2:00 EDT turns back into 1:00 EST; 1:30 comes twice.
    zoned("New York, autumn, shut down in the first 1:30", "America/New_York",
          "2027-11-07 04:58:00", "1", {}, "2027-11-07 06:32:00", "2027-11-07 05:30:01 (31)",
          "2027-11-07 05:30:31 ×10");
    zoned("New York, autumn, closed in the first 1:30", "America/New_York", "2027-11-07 04:58:00",
          "1", {"until 2027-11-07 05:30:10", "close"}, "2027-11-07 06:32:00",
          "2027-11-07 05:30:01 (31)", "");
    // The skipped 2:30, chosen the evening before: the schedule stays armed and comes the next
    // night, the day choice having turned to 今天 at midnight.
    QTest::newRow("Berlin, spring, skipped time comes the next night")
        << QStringList{"zone Europe/Berlin",
                       "utc 2027-03-27 21:59:00",
                       "run 1000",
                       "arm 明天 2 30",
                       "until 2027-03-28 01:05:00",
                       "expect opened ",
                       "expect day 今天",
                       missed,
                       "utc 2027-03-29 00:29:50",
                       "run 45000",
                       "expect opened 2027-03-29 00:30:01 (31)",
                       "expect asked 2027-03-29 00:30:31 ×10",
                       running};
}

void TimelineTest::timeline() {
    QFETCH(QStringList, steps);
    Timeline().play(steps);
}

QTEST_MAIN(TimelineTest)
#include "test_timeline.moc"
