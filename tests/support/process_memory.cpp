// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "process_memory.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <span>
#include <string_view>

namespace zeravan::test {

namespace {

// What a file of /proc holds, as far as `text` goes, read with nothing allocated: the tests read
// these every tick, and what they free the address sanitizer keeps.
std::string_view procText(const QString& path, std::span<char> text) {
    const int file = open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (file < 0) return {};
    const ssize_t size = read(file, text.data(), text.size());
    close(file);
    return {text.data(), size_t(std::max<ssize_t>(size, 0))};
}

}  // namespace

qint64 residentKb(const QByteArray& field, const QString& process) {
    std::array<char, 4096> text;
    const std::string_view status = procText(QStringLiteral("/proc/%1/status").arg(process), text);
    const std::size_t at = status.find(std::string_view(field.constData(), field.size()));
    if (at == std::string_view::npos || (at > 0 && status[at - 1] != '\n')) return -1;
    return std::strtoll(status.data() + at + field.size(), nullptr, 10);
}

void resetPeakResident() {
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    clearRefs.open(QIODevice::WriteOnly);
    clearRefs.write("5");
}

QStringList descendants(const QString& process, const QByteArray& named) {
    std::array<char, 4096> text;
    const std::string_view children =
        procText(QStringLiteral("/proc/%1/task/%1/children").arg(process), text);
    QStringList found;
    for (std::size_t at = 0; at < children.size();) {
        const std::size_t end = std::min(children.find(' ', at), children.size());
        const QString child = QString::fromLatin1(children.substr(at, end - at));
        at = end + 1;
        std::array<char, 64> name;
        if (procText(QStringLiteral("/proc/%1/comm").arg(child), name)
                .starts_with(named.constData()))
            found << child;
        found << descendants(child, named);
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
