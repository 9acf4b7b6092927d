// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "local_bait.h"

#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QImage>
#include <chrono>

namespace zeravan::test {

LocalBait::LocalBait() {
    QImage green(64, 64, QImage::Format_RGB32);
    green.fill(QColor(0, 255, 0));
    green.save(dir_.filePath(QStringLiteral("bait.png")));
    QFile css(dir_.filePath(QStringLiteral("bait.css")));
    css.open(QIODevice::WriteOnly);
    css.write("p, td, body { color: #00ff00; background-color: #00ff00 }\n");
    css.close();
    const QByteArray pipe = QFile::encodeName(dir_.filePath(QStringLiteral("bait.pipe")));
    mkfifo(pipe.constData(), 0600);

    watch_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    inotify_add_watch(watch_, QFile::encodeName(dir_.path()).constData(), IN_OPEN | IN_ACCESS);
    // Opening the writing end without blocking succeeds only while someone reads.
    pipeProbe_ = std::thread([this, pipe] {
        while (!stop_) {
            const int end = open(pipe.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (end >= 0) {
                pipeRead_ = true;
                close(end);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    });
}

LocalBait::~LocalBait() {
    stop_ = true;
    pipeProbe_.join();
    close(watch_);
}

QStringList LocalBait::opened() {
    QStringList names;
    alignas(inotify_event) char buffer[4096];
    ssize_t size = 0;
    while ((size = read(watch_, buffer, sizeof buffer)) > 0) {
        for (char* at = buffer; at < buffer + size;) {
            const auto* event = reinterpret_cast<const inotify_event*>(at);
            names << QString::fromLocal8Bit(event->len > 0 ? event->name : ".");
            at += sizeof(inotify_event) + event->len;
        }
    }
    if (pipeRead_) names << QStringLiteral("bait.pipe");
    names.removeDuplicates();
    return names;
}

}  // namespace zeravan::test
