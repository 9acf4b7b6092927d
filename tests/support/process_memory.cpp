// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "process_memory.h"

#include <QCoreApplication>
#include <QDir>
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

QStringList descendants(const QString& process) {
    QStringList found;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(process));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile children(tasks.filePath(task + QStringLiteral("/children")));
        children.open(QIODevice::ReadOnly);
        for (const QByteArray& child : children.readAll().split(' ')) {
            if (!child.isEmpty())
                found << QString::fromLatin1(child) << descendants(QString::fromLatin1(child));
        }
    }
    return found;
}

qint64 childrenPeakKb() {
    qint64 peak = 0;
    for (const QString& process : descendants(QString::number(QCoreApplication::applicationPid())))
        peak = qMax(peak, residentKb("VmHWM:", process));
    return peak;
}

}  // namespace zeravan::test
