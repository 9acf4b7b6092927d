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
    QSignalSpy refused(port.get(), &PowerPort::requestRefused);
    QSignalSpy unreachable(port.get(), &PowerPort::requestUnreachable);
    // Qt's coarse timers may fire up to 5 % early.
    const qint64 earliestDeadlineMs = deadlineMs - deadlineMs / 20 - 10;

    port->request(PowerAction::PowerOff);
    QVERIFY(accepted.wait());
    QElapsedTimer sinceAccepted;
    sinceAccepted.start();
    if (expected == SessionEnd::PortGone) {
        port.reset();
    } else {
        // A call-off right behind the answer may come in the same turn of the event loop.
        if (cancelled.isEmpty()) QVERIFY(cancelled.wait(3 * deadlineMs));
        const qint64 cancelledAfterMs = sinceAccepted.elapsed();
        QVERIFY2(expected == SessionEnd::CalledOff ? cancelledAfterMs < earliestDeadlineMs
                                                   : cancelledAfterMs >= earliestDeadlineMs,
                 qPrintable(QString::number(cancelledAfterMs)));
        QCOMPARE(cancelled.first().at(0).value<PowerAction>(), PowerAction::PowerOff);
    }
    // Nothing more, not even at the deadline.
    QTest::qWait(std::max<qint64>(0, deadlineMs + 200 - sinceAccepted.elapsed()));
    QCOMPARE(cancelled.count(), expected == SessionEnd::PortGone ? 0 : 1);
    QCOMPARE(refused.count() + unreachable.count(), 0);
    if (!port) return;

    // The shutdown came to nothing: the next press is not taken for one just accepted.
    port->request(PowerAction::PowerOff);
    QVERIFY(accepted.wait());
}

}  // namespace zeravan::test
