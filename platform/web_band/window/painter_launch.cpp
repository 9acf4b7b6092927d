// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "painter_launch.h"

#include <QTimer>

namespace zeravan::platform {

namespace {

// Enough for the painter to say what its system lacks, and a few warnings more: no more than
// that is logged, or read.
constexpr qint64 heardErrorBytes = qint64(16) * 1024;

}  // namespace

// Past the first few KB, a painter says too much: it is ended, and nothing more is logged.
void preparePainterLaunch(QProcess& painter, int logicalDpi) {
    QProcessEnvironment environment = painterEnvironment();
    environment.insert(QStringLiteral("QT_FONT_DPI"), QString::number(logicalDpi));
    painter.setProcessEnvironment(environment);
    confinePainterStart(painter);
    painter.setProcessChannelMode(QProcess::SeparateChannels);
    QObject::connect(
        &painter, &QProcess::readyReadStandardError, &painter,
        [&painter, heard = qint64(0)]() mutable {
            if (heard > heardErrorBytes) return;  // ended already
            const QByteArray said = painter.readAllStandardError();
            for (const QByteArray& line : said.left(heardErrorBytes - heard).split('\n')) {
                if (!line.trimmed().isEmpty()) qWarning("page painter: %s", line.constData());
            }
            heard += said.size();
            if (heard <= heardErrorBytes) return;
            qWarning("page painter: ended for saying more than %lld bytes", heardErrorBytes);
            painter.kill();
        });
}

void endPainterWhenSilent(QProcess& painter, int silenceMs) {
    auto* silence = new QTimer(&painter);
    silence->setSingleShot(true);
    silence->setInterval(silenceMs);
    QObject::connect(silence, &QTimer::timeout, &painter, &QProcess::kill);
    QObject::connect(&painter, &QProcess::readyReadStandardOutput, silence,
                     qOverload<>(&QTimer::start));
    silence->start();
}

}  // namespace zeravan::platform
