// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QUrl>
#include <QWidget>

#include "platform/page_paint_protocol.h"

namespace zeravan::platform {

// A painted page as the band shows it: its image, with its links under the pointer as in a
// text browser (the pointing hand, a click that ends on the link it started on).
class PagePictureView final : public QWidget {
    Q_OBJECT
public:
    explicit PagePictureView(QWidget* parent);

    void showPage(PaintedPage page);
    const QString& text() const { return page_.text; }

signals:
    void anchorClicked(const QUrl& link);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QString anchorAt(QPointF point) const;

    PaintedPage page_;
    QString pressedAnchor_;
};

}  // namespace zeravan::platform
