// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "process_memory.h"

#include <QCoreApplication>
#include <QFile>

namespace zeravan::test {

qint64 residentKb(const QByteArray& field, const QString& process) {
    QFile status(QStringLiteral("/proc/%1/status").arg(process));
    status.open(QIODevice::ReadOnly);
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith(field)) {
            return line.mid(field.size()).trimmed().split(' ').value(0).toLongLong();
        }
    }
    return -1;
}

void resetPeakResident() {
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    clearRefs.open(QIODevice::WriteOnly);
    clearRefs.write("5");
}

qint64 childrenPeakKb() {
    QFile children(
        QStringLiteral("/proc/self/task/%1/children").arg(QCoreApplication::applicationPid()));
    children.open(QIODevice::ReadOnly);
    qint64 peak = 0;
    for (const QByteArray& child : children.readAll().split(' ')) {
        if (!child.isEmpty()) peak = qMax(peak, residentKb("VmHWM:", QString::fromLatin1(child)));
    }
    return peak;
}

}  // namespace zeravan::test
