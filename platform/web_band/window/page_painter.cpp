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
    preparePainterLaunch(*process_, logicalDpi);
    connect(process_, &QProcess::readyReadStandardOutput, this, &PagePainter::takeAnswers);
    connect(process_, &QProcess::errorOccurred, this, &PagePainter::giveUp);
    connect(process_, &QProcess::finished, this, [this] {
        if (unanswered_ > 0) giveUp();
    });
    process_->start(program_);
    send(page);
}

void PagePainter::addPicture(const PictureToAdd& picture) {
    send(picture);
}

void PagePainter::finish() {
    if (process_ == nullptr) return;
    process_->closeWriteChannel();
    endPainterWhenSilent(*process_, answerDeadline_.interval());
}

// The painter is killed if it still runs, and no longer heard; it goes once it has ended.
void PagePainter::stop() {
    answerDeadline_.stop();
    if (process_ == nullptr) return;
    QProcess* process = std::exchange(process_, nullptr);
    process->disconnect(this);
    unanswered_ = 0;
    answers_.clear();
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

// Answers are read as their bytes come, a pipe's worth at a time; each is bounded, so reading
// one never holds the window's thread for long.
void PagePainter::takeAnswers() {
    answers_.append(process_->readAllStandardOutput());
    while (process_ != nullptr && unanswered_ > 0) {
        const std::optional<QByteArray> frame = answers_.next(maxAnswerBytes(pixels_));
        if (answers_.fault() == FrameReader::Fault::otherVersion) {
            qWarning(
                "zeravan: the page painter %s is of another build (protocol %u, not %u); "
                "the band keeps its own page",
                qPrintable(program_), answers_.version(), paintProtocolVersion);
        }
        if (answers_.fault() != FrameReader::Fault::none) return giveUp();
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
    if (process_ != nullptr && answers_.buffered() > 0) giveUp();  // unasked for
}

void PagePainter::giveUp() {
    if (process_ == nullptr) return;
    stop();
    emit failed();
}

}  // namespace zeravan::platform
