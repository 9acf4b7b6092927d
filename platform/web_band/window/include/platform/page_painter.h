// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The page painter seen from the window: started, fed, heard and ended.
#pragma once

#include <QProcess>
#include <QTimer>

#include "platform/page_paint_protocol.h"

namespace zeravan::platform {

// The page painter seen from the window: a process of its own for each page, started with the
// page, fed the page's pictures as they come and ended when they have all come. Every answer
// must come within the answer timeout of being asked for, whole, well formed, within its bounds
// and of this build's protocol; otherwise the painter is ended at once and reports failure. Nothing
// of its work runs on the window's thread.
class PagePainter final : public QObject {
    Q_OBJECT
public:
    static constexpr int defaultAnswerTimeoutMs = 5000;

    PagePainter(QString program, QObject* parent, int answerTimeoutMs = defaultAnswerTimeoutMs);
    ~PagePainter() override;

    // A new painter for the page, laying it out at the window's logical resolution.
    void paintPage(const PageToPaint& page, int logicalDpi);
    void addPicture(const PictureToAdd& picture);
    // No more pictures: the painter ends once it has answered.
    void finish();
    // Ends the painter now; nothing more comes from it.
    void stop();

signals:
    // The page painted again; or nothing new, for a picture that was not one to show.
    void answered(const PaintAnswer& answer);
    // The painter could not be started, ended early, said something wrong or took too long.
    void failed();

private:
    void send(const PaintRequest& request);
    void takeAnswers();
    void giveUp();

    QString program_;
    QProcess* process_ = nullptr;
    QTimer answerDeadline_;
    int unanswered_ = 0;
    QSize pixels_;         // the size of every answer's image
    FrameReader answers_;  // what the painter said, read as it comes
};

}  // namespace zeravan::platform
