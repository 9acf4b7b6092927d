// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include <QTest>

#include "harness.h"

using namespace zeravan;
using platform::PowerPermission;
using zeravan::test::Harness;

namespace {

void armAt2330(Harness& h) {
    h.arm(QStringLiteral("今天"), QStringLiteral("23"), QStringLiteral("30"));
}

}  // namespace

// Arming asks the system whether it may shut down, but neither waits for the answer nor guesses
// it: the schedule arms at once and is undone only by a definite no or by no answer at all.
class PowerPermissionTest : public QObject {
    Q_OBJECT
private slots:
    void answerApplied_data();
    void answerApplied();
    void armsBeforeTheAnswer();
    void answerForAnEarlierArmingIsIgnored();
    void answerAfterDisarmingChangesNothing();
};

void PowerPermissionTest::answerApplied_data() {
    QTest::addColumn<PowerPermission>("permission");
    QTest::addColumn<bool>("staysArmed");
    QTest::addColumn<QString>("status");
    QTest::newRow("yes") << PowerPermission::Yes << true << "执行中...";
    QTest::newRow("challenge") << PowerPermission::Challenge << true << "执行中...关机时或需密码";
    QTest::newRow("no") << PowerPermission::No << false << "系统不允许关机";
    QTest::newRow("na") << PowerPermission::NotApplicable << false << "系统不允许关机";
    QTest::newRow("unreachable") << PowerPermission::Unreachable << false << "无法连接系统电源服务";
}

void PowerPermissionTest::answerApplied() {
    QFETCH(PowerPermission, permission);
    QFETCH(bool, staysArmed);
    QFETCH(QString, status);
    Harness h;
    h.power.permission = permission;
    armAt2330(h);
    QVERIFY(h.isArmed());  // before the answer is in
    QCOMPARE(h.power.count(QStringLiteral("probe")), 1);

    QTRY_COMPARE(h.status(), status);
    QCOMPARE(h.isArmed(), staysArmed);
    QCOMPARE(h.form1().Combo1->isEnabled(), !staysArmed);
    QCOMPARE(h.form1().Combo2->isEnabled(), !staysArmed);
    h.run(300);
    QCOMPARE(h.form1().Text2.Text.isEmpty(), !staysArmed);
}

void PowerPermissionTest::armsBeforeTheAnswer() {
    Harness h({{2026, 12, 7}, {23, 29, 55}});
    h.power.permission.reset();
    armAt2330(h);
    QVERIFY(h.isArmed());
    QCOMPARE(h.status(), QStringLiteral("执行中..."));
    // The schedule runs while the question is open: the countdown opens on time.
    h.runUntil({{2026, 12, 7}, {23, 30, 1}});
    h.run(100);
    QVERIFY(h.dialog());

    h.power.answerHeld(0, PowerPermission::No);
    QVERIFY(!h.isArmed());
    QCOMPARE(h.status(), QStringLiteral("系统不允许关机"));
}

void PowerPermissionTest::answerForAnEarlierArmingIsIgnored() {
    Harness h;
    h.power.permission.reset();
    armAt2330(h);
    forms::press(*h.form1().Command4);  // disarm
    armAt2330(h);                       // and arm again: a second question
    QCOMPARE(h.power.count(QStringLiteral("probe")), 2);

    h.power.answerHeld(0, PowerPermission::No);
    QVERIFY(h.isArmed());
    QCOMPARE(h.status(), QStringLiteral("执行中..."));
    h.power.answerHeld(0, PowerPermission::Unreachable);
    QVERIFY(h.isArmed());

    h.power.answerHeld(1, PowerPermission::Challenge);
    QVERIFY(h.isArmed());
    QCOMPARE(h.status(), QStringLiteral("执行中...关机时或需密码"));
}

void PowerPermissionTest::answerAfterDisarmingChangesNothing() {
    Harness h;
    h.power.permission.reset();
    armAt2330(h);
    forms::press(*h.form1().Command4);
    QCOMPARE(h.status(), QStringLiteral("停止"));

    h.power.answerHeld(0, PowerPermission::No);
    QCOMPARE(h.status(), QStringLiteral("停止"));
    QCOMPARE(h.form1().Command4->text(), QStringLiteral("确定"));
}

QTEST_MAIN(PowerPermissionTest)
#include "test_power_permission.moc"
