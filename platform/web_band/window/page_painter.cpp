// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "platform/page_painter.h"

#include "painter_launch.h"

namespace zeravan::platform {

PagePainter::PagePainter(QString program, QObject* parent, int answerTimeoutMs)
    : QObject(parent), program_(std::move(program)) {
    answerDeadline_.setSingleShot(true);
    answerDeadline_.setInterval(answerTimeoutMs);
    connect(&answerDeadline_, &QTimer::timeout, this, &PagePainter::giveUp);
}

// Painters still at work, or still ending, when the window goes end with it, unheard: whoever
// listened may be going too.
PagePainter::~PagePainter() {
    for (QProcess* process : findChildren<QProcess*>()) {
        process->disconnect(this);
        process->kill();
        process->waitForFinished();
    }
}

// The painter lays text out at the window's resolution and reads no theme of the desktop's:
// a theme may load a whole toolkit.
void PagePainter::paintPage(const PageToPaint& page, int logicalDpi) {
    stop();
    pixels_ = (QSizeF(page.viewport) * page.pixelRatio).toSize();
    process_ = new QProcess(this);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_FONT_DPI"), QString::number(logicalDpi));
    environment.remove(QStringLiteral("QT_QPA_PLATFORMTHEME"));
    environment.remove(QStringLiteral("QT_STYLE_OVERRIDE"));
    process_->setProcessEnvironment(environment);
    process_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    connect(process_, &QProcess::readyReadStandardOutput, this, &PagePainter::takeAnswers);
    connect(process_, &QProcess::errorOccurred, this, &PagePainter::giveUp);
    connect(process_, &QProcess::finished, this, [this] {
        if (unanswered_ > 0) giveUp();
    });
    startPainter(*process_, program_);
    send(page);
}

void PagePainter::addPicture(const PictureToAdd& picture) {
    send(picture);
}

void PagePainter::finish() {
    if (process_ != nullptr) process_->closeWriteChannel();
}

// The painter is killed if it still runs, and no longer heard; it goes once it has ended.
void PagePainter::stop() {
    answerDeadline_.stop();
    if (process_ == nullptr) return;
    QProcess* process = std::exchange(process_, nullptr);
    process->disconnect(this);
    unanswered_ = 0;
    if (process->state() == QProcess::NotRunning) {
        process->deleteLater();
        return;
    }
    connect(process, &QProcess::finished, process, &QObject::deleteLater);
    process->kill();
}

// Windows says at once when a program cannot be started: the painter is gone by then.
void PagePainter::send(const PaintRequest& request) {
    if (process_ == nullptr) return;
    if (unanswered_++ == 0) answerDeadline_.start();
    process_->write(requestFrame(request));
}

void PagePainter::takeAnswers() {
    while (process_ != nullptr && unanswered_ > 0) {
        bool oversized = false;
        const std::optional<QByteArray> frame =
            takeFrame(*process_, maxAnswerBytes(pixels_), oversized);
        if (oversized) return giveUp();
        if (!frame) return;
        const std::optional<PaintAnswer> answer = parseAnswer(*frame, pixels_);
        if (!answer) return giveUp();
        if (--unanswered_ > 0) {
            answerDeadline_.start();
        } else {
            answerDeadline_.stop();
        }
        emit answered(*answer);
    }
    if (process_ != nullptr && process_->bytesAvailable() > 0) giveUp();  // unasked for
}

void PagePainter::giveUp() {
    if (process_ == nullptr) return;
    stop();
    emit failed();
}

}  // namespace zeravan::platform
