// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include <QTest>

#include <cstdlib>

#include "engine/calendar.h"
#include "engine/choice_check.h"
#include "engine/countdown.h"
#include "engine/due_second.h"
#include "engine/schedule.h"
#include "engine/texts.h"
#include "platform/system_clock.h"

using namespace zeravan::engine;

Q_DECLARE_METATYPE(CivilDate)

class EngineTest : public QObject {
    Q_OBJECT
private slots:
    void weekdayName_data();
    void weekdayName();
    void dateText_data();
    void dateText();
    void timeText_data();
    void timeText();
    void chosenDay_data();
    void chosenDay();
    void scheduleStrings();
    void armedOnlyOnExactCaption_data();
    void armedOnlyOnExactCaption();
    void checkChoices_data();
    void checkChoices();
    void nextCount_data();
    void nextCount();
    void wallSecondsRoundTrip();
    void openingCount_data();
    void openingCount();
    void parseNowString_data();
    void parseNowString();
    void dueSecond_data();
    void dueSecond();
    void dueSecondOfAnotherTarget();
    void localTimeAcrossDaylightSaving_data();
    void localTimeAcrossDaylightSaving();
};

void EngineTest::weekdayName_data() {
    QTest::addColumn<CivilDate>("date");
    QTest::addColumn<QString>("name");
    QTest::newRow("sunday") << CivilDate{2026, 12, 6} << "星期日";
    QTest::newRow("monday") << CivilDate{2026, 12, 7} << "星期一";
    QTest::newRow("saturday") << CivilDate{2026, 12, 12} << "星期六";
    QTest::newRow("leap day 2028") << CivilDate{2028, 2, 29} << "星期二";
    QTest::newRow("new year 2000") << CivilDate{2000, 1, 1} << "星期六";
}

void EngineTest::weekdayName() {
    QFETCH(CivilDate, date);
    QFETCH(QString, name);
    QCOMPARE(QString::fromStdString(zeravan::engine::weekdayName(date)), name);
}

void EngineTest::dateText_data() {
    QTest::addColumn<CivilDate>("date");
    QTest::addColumn<int>("daysLater");
    QTest::addColumn<QString>("text");
    QTest::newRow("today, no leading zeros") << CivilDate{2026, 3, 5} << 0 << "2026/3/5";
    QTest::newRow("month end") << CivilDate{2026, 4, 30} << 1 << "2026/5/1";
    QTest::newRow("year end") << CivilDate{2026, 12, 31} << 1 << "2027/1/1";
    QTest::newRow("28 feb of a leap year") << CivilDate{2028, 2, 28} << 1 << "2028/2/29";
    QTest::newRow("28 feb of a common year") << CivilDate{2027, 2, 28} << 1 << "2027/3/1";
    QTest::newRow("29 feb") << CivilDate{2028, 2, 29} << 1 << "2028/3/1";
    QTest::newRow("1900 is not leap") << CivilDate{1900, 2, 28} << 1 << "1900/3/1";
}

void EngineTest::dateText() {
    QFETCH(CivilDate, date);
    QFETCH(int, daysLater);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(zeravan::engine::dateText(addDays(date, daysLater))), text);
}

void EngineTest::timeText_data() {
    QTest::addColumn<int>("hour");
    QTest::addColumn<int>("minute");
    QTest::addColumn<int>("second");
    QTest::addColumn<QString>("text");
    QTest::newRow("midnight") << 0 << 0 << 0 << "0:00:00";
    QTest::newRow("night") << 2 << 33 << 1 << "2:33:01";
    QTest::newRow("last second") << 23 << 59 << 59 << "23:59:59";
    QTest::newRow("noon") << 12 << 5 << 9 << "12:05:09";
}

void EngineTest::timeText() {
    QFETCH(int, hour);
    QFETCH(int, minute);
    QFETCH(int, second);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(zeravan::engine::timeText({hour, minute, second})), text);
}

// 明天 is the day after the day it was made on, by the calendar, whatever ticks were missed.
void EngineTest::chosenDay_data() {
    QTest::addColumn<bool>("firstItem");
    QTest::addColumn<bool>("seenMade");
    QTest::addColumn<CivilDate>("today");
    QTest::addColumn<CivilDate>("target");
    QTest::addColumn<bool>("backToFirstItem");
    const CivilDate made{2026, 12, 31};
    QTest::newRow("today") << true << true << made << made << false;
    QTest::newRow("tomorrow across the year end")
        << false << true << made << CivilDate{2027, 1, 1} << false;
    QTest::newRow("stall across midnight, no tick at 0:00:00")
        << false << true << CivilDate{2027, 1, 1} << CivilDate{2027, 1, 1} << true;
    QTest::newRow("suspended through the chosen day")
        << false << true << CivilDate{2027, 1, 2} << CivilDate{2027, 1, 2} << true;
    QTest::newRow("clock set back across midnight")
        << false << true << CivilDate{2026, 12, 30} << CivilDate{2027, 1, 1} << false;
    QTest::newRow("never seen being made: made today")
        << false << false << CivilDate{2028, 2, 28} << CivilDate{2028, 2, 29} << false;
}

void EngineTest::chosenDay() {
    QFETCH(bool, firstItem);
    QFETCH(bool, seenMade);
    QFETCH(CivilDate, today);
    QFETCH(CivilDate, target);
    QFETCH(bool, backToFirstItem);
    ChosenDay day;
    if (seenMade) day.madeOn({2026, 12, 31});
    const ChosenDay::Reading reading = day.read(today, firstItem);
    QCOMPARE(reading.target, target);
    QCOMPARE(reading.backToFirstItem, backToFirstItem);
}

void EngineTest::scheduleStrings() {
    QCOMPARE(triggerString("2026/12/7", "23", "30"), std::string("2026/12/7 23:30:01"));
    QCOMPARE(shutdownString("2026/12/7", "23", "30"), std::string("2026/12/7 23:30:31"));
    QCOMPARE(triggerString("2026/12/7", "0", "05"), std::string("2026/12/7 0:05:01"));
    // Taken as they stand: a text that cannot match a now string stays unmatched.
    QCOMPARE(triggerString("2026/12/7", "07", "7"), std::string("2026/12/7 07:7:01"));
    QCOMPARE(nowString({{2026, 12, 7}, {23, 30, 1}}), triggerString("2026/12/7", "23", "30"));
}

void EngineTest::armedOnlyOnExactCaption_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("armed");
    QTest::newRow("modify") << "修改" << true;
    QTest::newRow("initial confirm") << "确 定" << false;
    QTest::newRow("confirm after a disarm") << "确定" << false;
    QTest::newRow("modify with a blank") << "修改 " << false;
    QTest::newRow("empty") << "" << false;
}

void EngineTest::armedOnlyOnExactCaption() {
    QFETCH(QString, caption);
    QFETCH(bool, armed);
    QCOMPARE(isArmed(caption.toStdString()), armed);
}

void EngineTest::checkChoices_data() {
    QTest::addColumn<QString>("day");
    QTest::addColumn<QString>("hour");
    QTest::addColumn<QString>("minute");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("hourForm");
    QTest::addColumn<QString>("minuteForm");
    QTest::addColumn<QString>("problem");
    QTest::newRow("designed") << "今天"
                              << "23"
                              << "30" << true << "23"
                              << "30"
                              << "";
    QTest::newRow("tomorrow, midnight hour") << "明天"
                                             << "0"
                                             << "05" << true << "0"
                                             << "05"
                                             << "";
    QTest::newRow("hour with leading zero") << "今天"
                                            << "07"
                                            << "15" << true << "7"
                                            << "15"
                                            << "";
    QTest::newRow("hour with a blank") << "今天"
                                       << " 7"
                                       << "15" << true << "7"
                                       << "15"
                                       << "";
    QTest::newRow("one-digit minute") << "今天"
                                      << "8"
                                      << "7" << true << "8"
                                      << "07"
                                      << "";
    QTest::newRow("minute zero") << "今天"
                                 << "8"
                                 << "0" << true << "8"
                                 << "00"
                                 << "";
    QTest::newRow("many zeros") << "今天"
                                << "0000000000023"
                                << "059" << true << "23"
                                << "59"
                                << "";
    QTest::newRow("empty hour") << "今天"
                                << ""
                                << "30" << false << ""
                                << ""
                                << "小时应为0到23";
    QTest::newRow("hour 24") << "今天"
                             << "24"
                             << "30" << false << ""
                             << ""
                             << "小时应为0到23";
    QTest::newRow("hour abc") << "今天"
                              << "abc"
                              << "30" << false << ""
                              << ""
                              << "小时应为0到23";
    QTest::newRow("hour 1.5") << "今天"
                              << "1.5"
                              << "30" << false << ""
                              << ""
                              << "小时应为0到23";
    QTest::newRow("negative hour") << "今天"
                                   << "-1"
                                   << "30" << false << ""
                                   << ""
                                   << "小时应为0到23";
    QTest::newRow("huge hour") << "今天"
                               << "99999999999999999999"
                               << "30" << false << ""
                               << ""
                               << "小时应为0到23";
    QTest::newRow("full-width digit") << "今天"
                                      << "７"
                                      << "30" << false << ""
                                      << ""
                                      << "小时应为0到23";
    QTest::newRow("minute 60") << "今天"
                               << "23"
                               << "60" << false << ""
                               << ""
                               << "分钟应为0到59";
    QTest::newRow("empty minute") << "今天"
                                  << "23"
                                  << "" << false << ""
                                  << ""
                                  << "分钟应为0到59";
    QTest::newRow("blank minute") << "今天"
                                  << "23"
                                  << "  " << false << ""
                                  << ""
                                  << "分钟应为0到59";
    QTest::newRow("day with a blank after") << "明天 "
                                            << "23"
                                            << "30" << true << "23"
                                            << "30"
                                            << "";
    QTest::newRow("blanks of every kind") << "\t今天\u3000"
                                          << "\u3000 7\t"
                                          << " 05\u3000" << true << "7"
                                          << "05"
                                          << "";
    QTest::newRow("blank inside the day") << "明 天"
                                          << "23"
                                          << "30" << false << ""
                                          << ""
                                          << "请选择今天或明天";
    QTest::newRow("blank day") << " \u3000"
                               << "23"
                               << "30" << false << ""
                               << ""
                               << "请选择今天或明天";
    QTest::newRow("other day") << "后天"
                               << "23"
                               << "30" << false << ""
                               << ""
                               << "请选择今天或明天";
}

void EngineTest::checkChoices() {
    QFETCH(QString, day);
    QFETCH(QString, hour);
    QFETCH(QString, minute);
    QFETCH(bool, accepted);
    QFETCH(QString, hourForm);
    QFETCH(QString, minuteForm);
    QFETCH(QString, problem);
    const ChoiceCheck check =
        zeravan::engine::checkChoices(day.toStdString(), hour.toStdString(), minute.toStdString());
    QCOMPARE(check.accepted, accepted);
    QCOMPARE(QString::fromStdString(check.problem), problem);
    if (accepted) {
        QCOMPARE(QString::fromStdString(check.day), day.trimmed());
        QCOMPARE(QString::fromStdString(check.hour), hourForm);
        QCOMPARE(QString::fromStdString(check.minute), minuteForm);
        // An accepted schedule can always match a now string at some second.
        const int h = hourForm.toInt();
        const int m = minuteForm.toInt();
        QCOMPARE(triggerString("2026/1/1", check.hour, check.minute),
                 nowString({{2026, 1, 1}, {h, m, 1}}));
    }
}

void EngineTest::nextCount_data() {
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("next");
    QTest::newRow("start") << "31"
                           << "30";
    QTest::newRow("on from one to zero") << "1"
                                         << "0";
    QTest::newRow("on below zero") << "0"
                                   << "-1";
    QTest::newRow("further below zero") << "-3"
                                        << "-4";
    QTest::newRow("not a number") << "abc"
                                  << "-1";
    QTest::newRow("empty") << ""
                           << "-1";
}

void EngineTest::nextCount() {
    QFETCH(QString, count);
    QFETCH(QString, next);
    QCOMPARE(QString::fromStdString(zeravan::engine::nextCount(count.toStdString())), next);
}

void EngineTest::wallSecondsRoundTrip() {
    const LocalDateTime leapEve{{2028, 2, 28}, {23, 59, 59}};
    QCOMPARE(fromWallSeconds(wallSeconds(leapEve) + 1), (LocalDateTime{{2028, 2, 29}, {0, 0, 0}}));
    const LocalDateTime before1970{{1969, 12, 31}, {23, 0, 0}};
    QCOMPARE(fromWallSeconds(wallSeconds(before1970)), before1970);
}

void EngineTest::openingCount_data() {
    QTest::addColumn<QString>("now");
    QTest::addColumn<int>("count");
    QTest::newRow("in the trigger second") << "2026/12/7 23:30:01" << 31;
    QTest::newRow("one second late") << "2026/12/7 23:30:02" << 30;
    QTest::newRow("three seconds late") << "2026/12/7 23:30:04" << 28;
    QTest::newRow("not a now string") << "23:30:04" << 31;
}

void EngineTest::openingCount() {
    QFETCH(QString, now);
    QFETCH(int, count);
    QCOMPARE(zeravan::engine::openingCount(now.toStdString(), "2026/12/7 23:30:31"), count);
}

void EngineTest::parseNowString_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isNowString");
    QTest::newRow("evening") << "2026/12/7 23:30:31" << true;
    QTest::newRow("midnight on a leap day") << "2028/2/29 0:00:00" << true;
    QTest::newRow("hour with a leading zero") << "2026/12/7 07:30:31" << false;
    QTest::newRow("one-digit minute") << "2026/12/7 7:5:31" << false;
    QTest::newRow("month with a leading zero") << "2026/02/7 7:05:31" << false;
    QTest::newRow("no leap day") << "2027/2/29 7:05:31" << false;
    QTest::newRow("hour 24") << "2026/12/7 24:00:01" << false;
    QTest::newRow("other separators") << "2026-12-7 7:05:31" << false;
    QTest::newRow("trailing blank") << "2026/12/7 7:05:31 " << false;
    QTest::newRow("time only") << "7:05:31" << false;
    QTest::newRow("empty") << "" << false;
}

void EngineTest::parseNowString() {
    QFETCH(QString, text);
    QFETCH(bool, isNowString);
    const auto moment = zeravan::engine::parseNowString(text.toStdString());
    QCOMPARE(moment.has_value(), isNowString);
    if (moment) QCOMPARE(QString::fromStdString(nowString(*moment)), text);
}

// Each row is a run of ticks on 7 December 2026, the time text of every tick, watching for
// 23:30:31; and what each tick is told: '.' not now, 'N' now, 'M' missed.
void EngineTest::dueSecond_data() {
    QTest::addColumn<QStringList>("ticks");
    QTest::addColumn<QString>("told");
    const auto row = [](const char* name, const QString& ticks, const char* told) {
        QTest::newRow(name) << ticks.split(' ') << QString::fromLatin1(told);
    };
    row("every tick of the second", "23:30:30 23:30:31 23:30:31 23:30:31 23:30:32", ".NNN.");
    row("stalled 1 s over it", "23:30:30 23:30:32 23:30:32 23:30:33", ".NN.");
    row("stalled 3 s over it", "23:30:30 23:30:34 23:30:34 23:30:35", ".NN.");
    row("stalled to the bound", "23:30:30 23:30:36 23:30:37", ".N.");
    row("stalled past the bound", "23:30:30 23:30:37 23:30:37 23:30:38", ".M..");
    row("stalled 10 s over it", "23:30:30 23:30:41 23:30:42", ".M.");
    row("a suspend", "23:29:00 7:10:00 7:10:01", ".M.");
    row("the second once more, later", "23:30:31 23:30:31 23:30:33 23:30:20 23:30:31", "NN...");
    row("once more after a late act", "23:30:30 23:30:33 23:30:10 23:30:31 23:30:34", ".N...");
    row("never there", "23:30:28 23:30:29 23:30:30", "...");
    row("there from the first tick", "23:30:31 23:30:32 23:30:31", "N..");
    row("passed before the first tick", "23:30:33 23:30:34", "..");
    row("passed long before the first tick", "23:50:00 23:50:01", "..");
    row("the clock set back over it", "23:30:40 23:30:20", "..");
    // ">" : the target moved on with the calendar to the next day's second.
    row("suspended over it, the target moved on", "23:29:00 7:10:00> 7:10:01>", ".M.");
    row("acted on, then moved on", "23:30:31 23:30:32 7:10:00>", "N..");
    row("the next day's, across midnight", "23:59:59> 0:00:02> 0:00:03>", "...");
}

void EngineTest::dueSecond() {
    QFETCH(QStringList, ticks);
    QFETCH(QString, told);
    DueSecond watch;
    QString seen;
    for (QString time : ticks) {
        const bool movedOn = time.endsWith('>');
        time.remove('>');
        const std::string now =
            "2026/12/" + std::string(time.startsWith("23") ? "7 " : "8 ") + time.toStdString();
        static const char letters[] = {'.', 'N', 'M'};
        const char* target = movedOn ? "2026/12/8 23:30:31" : "2026/12/7 23:30:31";
        seen += letters[static_cast<int>(watch.check(now, target))];
    }
    QCOMPARE(seen, told);
}

// A new target, or a reset, starts afresh; a spent target stays spent across other targets. A
// target that is not a now string is due only on exact equality.
void EngineTest::dueSecondOfAnotherTarget() {
    const std::string a = "2026/12/7 23:30:01", b = "2026/12/7 23:30:02", c = "2026/12/7 23:30:03";
    DueSecond watch;
    QCOMPARE(watch.check(a, a), Due::Now);
    QCOMPARE(watch.check(b, a), Due::No);
    QCOMPARE(watch.check(b, b), Due::Now);
    QCOMPARE(watch.check(c, b), Due::No);
    QCOMPARE(watch.check(b, b), Due::No);
    watch.reset();
    QCOMPARE(watch.check(b, b), Due::Now);
    watch.reset();
    QCOMPARE(watch.check(a, ""), Due::No);
    QCOMPARE(watch.check(a, "2026/12/7 23:30:2"), Due::No);
    QCOMPARE(watch.check(c, "2026/12/7 23:30:2"), Due::No);
    QCOMPARE(watch.check("x", "x"), Due::Now);
}

// The conversion the program's clock uses, in two zones with daylight saving.
void EngineTest::localTimeAcrossDaylightSaving_data() {
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<qlonglong>("instant");
    QTest::addColumn<QString>("wallClock");
    // Berlin, 28 March 2027: 1:59:59 CET is followed by 3:00:00 CEST.
    QTest::newRow("Berlin before spring")
        << QByteArray("Europe/Berlin") << 1806195599LL << "2027/3/28 1:59:59";
    QTest::newRow("Berlin after spring")
        << QByteArray("Europe/Berlin") << 1806195600LL << "2027/3/28 3:00:00";
    // Berlin, 31 October 2027: 2:30 comes first in CEST, an hour later in CET.
    QTest::newRow("Berlin first 2:30")
        << QByteArray("Europe/Berlin") << 1824942600LL << "2027/10/31 2:30:00";
    QTest::newRow("Berlin second 2:30")
        << QByteArray("Europe/Berlin") << 1824946200LL << "2027/10/31 2:30:00";
    // New York, 7 November 2027: 1:30 twice.
    QTest::newRow("New York first 1:30")
        << QByteArray("America/New_York") << 1825565400LL << "2027/11/7 1:30:00";
    QTest::newRow("New York second 1:30")
        << QByteArray("America/New_York") << 1825569000LL << "2027/11/7 1:30:00";
}

void EngineTest::localTimeAcrossDaylightSaving() {
    QFETCH(QByteArray, zone);
    QFETCH(qlonglong, instant);
    QFETCH(QString, wallClock);
    const QByteArray saved = qgetenv("TZ");
    qputenv("TZ", zone);
    tzset();
    const std::string seen =
        nowString(zeravan::platform::localTimeAt(static_cast<std::time_t>(instant)));
    qputenv("TZ", saved);
    tzset();
    QCOMPARE(QString::fromStdString(seen), wallClock);
}

QTEST_APPLESS_MAIN(EngineTest)
#include "test_engine.moc"
