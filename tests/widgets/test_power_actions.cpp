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
    QTest::addColumn<std::optional<Failure>>("failure");  // none: the system took the request
    QTest::addColumn<PowerAction>("action");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("countdown");
    QTest::newRow("shut down, refused")
        << std::optional(Failure::Refused) << PowerAction::PowerOff << "关机被系统拒绝"
        << "关机被系统拒绝";
    QTest::newRow("restart, refused")
        << std::optional(Failure::Refused) << PowerAction::Reboot << "重启被系统拒绝"
        << "重启被系统拒绝";
    QTest::newRow("log off, refused")
        << std::optional(Failure::Refused) << PowerAction::LogOff << "注销被系统拒绝"
        << "注销被系统拒绝";
    QTest::newRow("unreachable") << std::optional(Failure::Unreachable) << PowerAction::PowerOff
                                 << "无法连接系统电源服务"
                                 << "无法连接系统电源服务";
    QTest::newRow("answer lost") << std::optional(Failure::Lost) << PowerAction::PowerOff
                                 << "关机请求结果未知"
                                 << "关机请求结果未知";
    QTest::newRow("called off") << std::optional(Failure::Cancelled) << PowerAction::PowerOff
                                << "关机被取消，明天照常执行"
                                << "关机被系统或程序取消";
    QTest::newRow("overdue") << std::optional(Failure::Overdue) << PowerAction::PowerOff
                             << "关机未完成，明天照常执行"
                             << "两分钟内未关机，明天照常执行";
    QTest::newRow("shut down, taken")
        << std::optional<Failure>() << PowerAction::PowerOff << "系统正在关机"
        << "系统正在关机，请留意系统提示";
    QTest::newRow("restart, taken")
        << std::optional<Failure>() << PowerAction::Reboot << "系统正在重启"
        << "系统正在重启，请留意系统提示";
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
