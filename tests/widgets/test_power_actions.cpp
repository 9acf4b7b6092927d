// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include <QSignalSpy>
#include <QTest>
#include <optional>

#include "harness.h"

using namespace zeravan;
using platform::PowerAction;
using zeravan::test::Harness;

Q_DECLARE_METATYPE(PowerAction)
Q_DECLARE_METATYPE(std::optional<zeravan::test::FakePowerPort::Failure>)

class PowerActionsTest : public QObject {
    Q_OBJECT
private slots:
    void eachPressRepeatsTheWholeSequence_data();
    void eachPressRepeatsTheWholeSequence();
    void outcomeReachesTheStatusLine_data();
    void outcomeReachesTheStatusLine();
};

void PowerActionsTest::eachPressRepeatsTheWholeSequence_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<QStringList>("oneSequence");
    QTest::newRow("Command1 shuts down") << 1 << QStringList{"privilege", "PowerOff"};
    QTest::newRow("Command2 restarts") << 2 << QStringList{"privilege", "Reboot"};
    QTest::newRow("Command3 logs off without the privilege") << 3 << QStringList{"LogOff"};
}

void PowerActionsTest::eachPressRepeatsTheWholeSequence() {
    QFETCH(int, button);
    QFETCH(QStringList, oneSequence);
    Harness h;
    MainWindowForm& form = h.form1();
    const forms::CommandButton* buttons[] = {&form.Command1, &form.Command2, &form.Command3};
    for (int press = 0; press < 3; ++press) buttons[button - 1]->setValue(true);
    QCOMPARE(h.power.calls, oneSequence + oneSequence + oneSequence);
    buttons[button - 1]->setValue(false);
    QCOMPARE(h.power.calls.size(), oneSequence.size() * 3);
}

// What the system said of a request, in the status line (with its own words in the tooltip) and
// for the countdown. Once the system has the request, the status line agrees with what the
// countdown says.
void PowerActionsTest::outcomeReachesTheStatusLine_data() {
    using Failure = test::FakePowerPort::Failure;
    struct Row {
        const char* tag;
        std::optional<Failure> failure;  // none: the system took the request
        PowerAction action;
        const char* status;
        const char* countdown = nullptr;  // the status line's words where empty
    };
    const Row rows[] = {
        {"shut down, refused", Failure::Refused, PowerAction::PowerOff, "关机被系统拒绝"},
        {"restart, refused", Failure::Refused, PowerAction::Reboot, "重启被系统拒绝"},
        {"log off, refused", Failure::Refused, PowerAction::LogOff, "注销被系统拒绝"},
        {"unreachable", Failure::Unreachable, PowerAction::PowerOff, "无法连接系统电源服务"},
        {"answer lost", Failure::Lost, PowerAction::PowerOff, "关机请求结果未知"},
        {"called off", Failure::Cancelled, PowerAction::PowerOff, "关机被取消，明天照常执行",
         "关机被系统或程序取消"},
        {"overdue", Failure::Overdue, PowerAction::PowerOff, "关机未完成，明天照常执行",
         "两分钟内未关机，明天照常执行"},
        {"shut down, taken",
         {},
         PowerAction::PowerOff,
         "系统正在关机",
         "系统正在关机，请留意系统提示"},
        {"restart, taken", {}, PowerAction::Reboot, "系统正在重启", "系统正在重启，请留意系统提示"},
    };
    QTest::addColumn<std::optional<Failure>>("failure");
    QTest::addColumn<PowerAction>("action");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("countdown");
    for (const Row& row : rows) {
        QTest::newRow(row.tag) << row.failure << row.action << QString::fromUtf8(row.status)
                               << QString::fromUtf8(row.countdown ? row.countdown : row.status);
    }
}

void PowerActionsTest::outcomeReachesTheStatusLine() {
    QFETCH(std::optional<test::FakePowerPort::Failure>, failure);
    QFETCH(PowerAction, action);
    QFETCH(QString, status);
    QFETCH(QString, countdown);
    Harness h;
    MainWindowForm& form = h.form1();
    QSignalSpy told(
        &form, failure ? &MainWindowForm::powerRequestEnded : &MainWindowForm::powerRequestTaken);
    if (failure) {
        h.power.fail(*failure, action, QStringLiteral("org.freedesktop.DBus.Error.Failed: no"));
    } else {
        h.power.take(action);
    }
    QCOMPARE(form.Label6->Caption(), status);
    QCOMPARE(form.Label6->toolTip().contains(QStringLiteral("Error.Failed")), failure.has_value());
    QCOMPARE(told.size(), 1);
    QCOMPARE(told.first().first().toString(), countdown);
}

QTEST_MAIN(PowerActionsTest)
#include "test_power_actions.moc"
