// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "platform/single_instance_lock.h"

using zeravan::platform::SingleInstanceLock;

class SingleInstanceLockTest : public QObject {
    Q_OBJECT
private slots:
    void firstClaimHolds();
    void laterClaimIsTurnedAwayAndTheHolderHears();
    void everyLaterClaimIsHeard();
    void nameIsFreeOnceTheHolderEnds();
    void otherNamesAreNotAffected();

private:
    // Unique to this run, so that tests running side by side do not meet.
    static QString name(const char* which) {
        return QStringLiteral("zeravan-test-%1-%2")
            .arg(QCoreApplication::applicationPid())
            .arg(QLatin1String(which));
    }
};

void SingleInstanceLockTest::firstClaimHolds() {
    SingleInstanceLock lock(name("first"));
    QVERIFY(lock.claim());
}

void SingleInstanceLockTest::laterClaimIsTurnedAwayAndTheHolderHears() {
    SingleInstanceLock holder(name("later"));
    QVERIFY(holder.claim());
    QSignalSpy asked(&holder, &SingleInstanceLock::askedFor);
    SingleInstanceLock later(name("later"));
    QVERIFY(!later.claim());
    QVERIFY(asked.wait(3000));
    QCOMPARE(asked.count(), 1);
}

void SingleInstanceLockTest::everyLaterClaimIsHeard() {
    SingleInstanceLock holder(name("every"));
    QVERIFY(holder.claim());
    QSignalSpy asked(&holder, &SingleInstanceLock::askedFor);
    for (int start = 0; start < 3; ++start) {
        SingleInstanceLock later(name("every"));
        QVERIFY(!later.claim());
    }
    QTRY_COMPARE(asked.count(), 3);
}

void SingleInstanceLockTest::nameIsFreeOnceTheHolderEnds() {
    auto holder = std::make_unique<SingleInstanceLock>(name("ends"));
    QVERIFY(holder->claim());
    holder.reset();
    SingleInstanceLock next(name("ends"));
    QVERIFY(next.claim());
}

void SingleInstanceLockTest::otherNamesAreNotAffected() {
    SingleInstanceLock one(name("one"));
    SingleInstanceLock other(name("other"));
    QVERIFY(one.claim());
    QVERIFY(other.claim());
}

QTEST_GUILESS_MAIN(SingleInstanceLockTest)
#include "test_single_instance_lock.moc"
