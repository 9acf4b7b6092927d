// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "session_end_check.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

namespace zeravan::test {

using platform::PowerAction;
using platform::PowerPort;

void checkSessionEndWatch(std::unique_ptr<PowerPort>& port, SessionEnd expected, int deadlineMs) {
    QSignalSpy accepted(port.get(), &PowerPort::requestAccepted);
    QSignalSpy cancelled(port.get(), &PowerPort::requestCancelled);
    QSignalSpy overdue(port.get(), &PowerPort::requestOverdue);
    QSignalSpy refused(port.get(), &PowerPort::requestRefused);
    QSignalSpy unreachable(port.get(), &PowerPort::requestUnreachable);
    // Qt's coarse timers may fire up to 5 % early.
    const qint64 earliestDeadlineMs = deadlineMs - deadlineMs / 20 - 10;

    port->request(PowerAction::PowerOff);
    QVERIFY(accepted.wait());
    QElapsedTimer sinceAccepted;
    sinceAccepted.start();
    QSignalSpy* told = nullptr;
    if (expected == SessionEnd::PortGone) {
        port.reset();
    } else if (expected != SessionEnd::Pending) {
        told = expected == SessionEnd::CalledOff ? &cancelled : &overdue;
        // A call-off right behind the answer may come in the same turn of the event loop.
        if (told->isEmpty()) QVERIFY(told->wait(3 * deadlineMs));
        const qint64 toldAfterMs = sinceAccepted.elapsed();
        QVERIFY2(expected == SessionEnd::CalledOff ? toldAfterMs < earliestDeadlineMs
                                                   : toldAfterMs >= earliestDeadlineMs,
                 qPrintable(QString::number(toldAfterMs)));
        QCOMPARE(told->first().at(0).value<PowerAction>(), PowerAction::PowerOff);
    }
    // Nothing more, not even at the deadline.
    QTest::qWait(std::max<qint64>(0, deadlineMs + 200 - sinceAccepted.elapsed()));
    QCOMPARE(cancelled.count(), expected == SessionEnd::CalledOff ? 1 : 0);
    QCOMPARE(overdue.count(), expected == SessionEnd::Overdue ? 1 : 0);
    QCOMPARE(refused.count() + unreachable.count(), 0);
    if (!port) return;

    // Once the shutdown came to nothing the next press is not taken for one just accepted.
    port->request(PowerAction::PowerOff);
    QVERIFY(accepted.wait());
}

}  // namespace zeravan::test
