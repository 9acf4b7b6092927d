// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace zeravan::test {

// A process's memory as Linux counts it (this one's by default): a field of its status, in KB
// ("VmRSS:" resident now, "VmHWM:" at its peak since resetPeakResident()); -1 if it is gone.
qint64 residentKb(const QByteArray& field = "VmRSS:", const QString& process = "self");

// Lets this process's peak start again from what it holds now.
void resetPeakResident();

// The processes `process` has started from its main thread, theirs, and so on, that still run;
// of those, the ones whose name starts with `named`.
QStringList descendants(const QString& process, const QByteArray& named = {});

// The highest peak of the processes this one has started, and theirs, that still run.
qint64 childrenPeakKb();

}  // namespace zeravan::test
