// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include <fontconfig/fontconfig.h>
#include <sys/resource.h>

#include <QCoreApplication>
#include <QFile>
#include <QFontDatabase>
#include <QLibraryInfo>

#include "painter_confinement.h"
#include "painter_jail.h"

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

void addAll(QStringList& paths, FcStrList* list) {
    for (const FcChar8* path = FcStrListNext(list); path != nullptr; path = FcStrListNext(list))
        paths << QFile::decodeName(reinterpret_cast<const char*>(path));
    FcStrListDone(list);
}

// What a painter reads once it paints: its fonts, as fontconfig finds them, and Qt's plugins
// with the libraries they load.
QStringList fontsAndPlugins() {
    QStringList paths = QCoreApplication::libraryPaths();
    paths << QLibraryInfo::path(QLibraryInfo::LibrariesPath) << QStringLiteral("/etc/ld.so.cache");
    addAll(paths, FcConfigGetFontDirs(nullptr));
    addAll(paths, FcConfigGetCacheDirs(nullptr));
    addAll(paths, FcConfigGetConfigDirs(nullptr));
    addAll(paths, FcConfigGetConfigFiles(nullptr));
    return paths;
}

void log(const QString& lacking) {
    if (!lacking.isEmpty()) qWarning("%s", qPrintable(lacking));
}

}  // namespace

const char* painterQtPlatform() {
    return "offscreen";
}

void useBinaryStandardStreams() {}

// RLIMIT_DATA rather than RLIMIT_AS: the fonts and libraries mapped read-only do not count, and
// the address sanitizer's reservations do not stop it from starting. Ended, it leaves no core.
// The shared memory it does not count, and a child that would start its processor time again,
// the painter cannot make once its fonts are in: from there on it reads fonts and plugins and
// paints, nothing else. What the kernel lacks for that it says on its standard error, which the
// window logs.
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
    log(enterNamespacesOfItsOwn());
    QFontDatabase::families();
    const QStringList readable = fontsAndPlugins();
    log(readOnly(readable));
    log(forbidAllButPainting());
}

}  // namespace zeravan::platform
