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
};

// Exits with usage text on a bad command line.
FakeOptions parseFakeOptions(const QStringList& arguments);

}  // namespace zeravan::test
