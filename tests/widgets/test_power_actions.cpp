// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include <QSignalSpy>
#include <QTest>

#include "harness.h"

using namespace zeravan;
using platform::PowerAction;
using zeravan::test::Harness;

Q_DECLARE_METATYPE(PowerAction)

class PowerActionsTest : public QObject {
    Q_OBJECT
private slots:
    void eachPressRepeatsTheWholeSequence_data();
    void eachPressRepeatsTheWholeSequence();
    void refusalReachesTheStatusLine_data();
    void refusalReachesTheStatusLine();
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

void PowerActionsTest::refusalReachesTheStatusLine_data() {
    QTest::addColumn<PowerAction>("action");
    QTest::addColumn<QString>("message");
    QTest::newRow("shut down") << PowerAction::PowerOff << "关机被系统拒绝";
    QTest::newRow("restart") << PowerAction::Reboot << "重启被系统拒绝";
    QTest::newRow("log off") << PowerAction::LogOff << "注销被系统拒绝";
}

void PowerActionsTest::refusalReachesTheStatusLine() {
    QFETCH(PowerAction, action);
    QFETCH(QString, message);
    Harness h;
    MainWindowForm& form = h.form1();
    QSignalSpy refused(&form, &MainWindowForm::powerRequestRefused);
    h.power.refuse(action, QStringLiteral("org.freedesktop.DBus.Error.AccessDenied: no"));
    QCOMPARE(form.Label6->Caption(), message);
    QVERIFY(form.Label6->toolTip().contains(QStringLiteral("AccessDenied")));
    QCOMPARE(refused.size(), 1);
    QCOMPARE(refused.first().first().toString(), message);
}

QTEST_MAIN(PowerActionsTest)
#include "test_power_actions.moc"
