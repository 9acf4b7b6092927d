// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "painter_launch.h"

#include <QTimer>

namespace zeravan::platform {

namespace {

// Enough for the painter to say what its system lacks, and a few warnings more.
constexpr qint64 heardErrorBytes = 16 * 1024;

}  // namespace

// Past the first few KB, the painter's standard error is closed: what it writes there from then
// on fails, and costs the window nothing.
void preparePainterLaunch(QProcess& painter, int logicalDpi) {
    QProcessEnvironment environment = painterEnvironment();
    environment.insert(QStringLiteral("QT_FONT_DPI"), QString::number(logicalDpi));
    painter.setProcessEnvironment(environment);
    confinePainterStart(painter);
    painter.setProcessChannelMode(QProcess::SeparateChannels);
    QObject::connect(&painter, &QProcess::readyReadStandardError, &painter,
                     [&painter, heard = qint64(0)]() mutable {
                         const QByteArray said =
                             painter.readAllStandardError().left(heardErrorBytes - heard);
                         heard += said.size();
                         for (const QByteArray& line : said.split('\n')) {
                             if (!line.trimmed().isEmpty())
                                 qWarning("page painter: %s", line.constData());
                         }
                         if (heard < heardErrorBytes) return;
                         qWarning("page painter: more on its standard error, not heard");
                         painter.closeReadChannel(QProcess::StandardError);
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
