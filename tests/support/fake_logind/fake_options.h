// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

namespace zeravan::test {

// How the fake answers, from its command line.
struct FakeOptions {
    QString logPath;
    // An error name to answer power calls with; empty to accept them.
    QString refuse;
    int delayMs = 0;
    QString canPowerOff = QStringLiteral("yes");
    // Each log line ends in a tab and the real clock's milliseconds since 1970 at its arrival.
    bool stamp = false;
    // CanPowerOff is answered this much later.
    int permissionDelayMs = 0;
    // Nothing is ever answered: calls wait until their caller gives up.
    bool silent = false;
    // The name org.freedesktop.login1 is not taken, so calls find nobody.
    bool unreachable = false;
    // Once a power call of one kind was accepted, the next ones of that kind are answered with
    // org.freedesktop.login1.OperationInProgress, as logind does while the first is under way.
    bool operationInProgress = false;
    // After accepting PowerOff or Reboot, PrepareForShutdown(true) at once and
    // PrepareForShutdown(false) this much later, as when the shutdown is called off; never when
    // negative.
    int callOffAfterMs = -1;
};

// Exits with usage text on a bad command line.
FakeOptions parseFakeOptions(const QStringList& arguments);

}  // namespace zeravan::test
