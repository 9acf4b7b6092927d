// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include <sys/resource.h>

#include <QFile>

#include "painter_process.h"

namespace zeravan::platform {

namespace {

// The process's data: its heap and every private memory it may write (VmData, in bytes).
qint64 dataBytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith("VmData:"))
            return line.mid(7).trimmed().split(' ')[0].toLongLong() * 1024;
    }
    return -1;
}

}  // namespace

const char* painterQtPlatform() {
    return "offscreen";
}

void useBinaryStandardStreams() {}

// RLIMIT_DATA rather than RLIMIT_AS: the fonts and libraries mapped read-only do not count, and
// the address sanitizer's reservations do not stop it from starting. Ended, it leaves no core.
void confinePainter(qint64 moreMemory, int cpuSeconds) {
    const qint64 data = dataBytes();
    if (data >= 0) {
        const rlimit memory{rlim_t(data + moreMemory), rlim_t(data + moreMemory)};
        setrlimit(RLIMIT_DATA, &memory);
    }
    const rlimit cpu{rlim_t(cpuSeconds), rlim_t(cpuSeconds)};
    setrlimit(RLIMIT_CPU, &cpu);
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
}

}  // namespace zeravan::platform
