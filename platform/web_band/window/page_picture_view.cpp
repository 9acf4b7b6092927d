// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "page_picture_view.h"

#include <QMouseEvent>
#include <QPainter>

namespace zeravan::platform {

PagePictureView::PagePictureView(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PagePictureView::showPage(PaintedPage page) {
    page_ = std::move(page);
    pressedAnchor_.clear();
    setAccessibleDescription(page_.text);
    update();
}

void PagePictureView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(QPointF(), page_.image);
}

QString PagePictureView::anchorAt(QPointF point) const {
    for (const PageAnchor& anchor : page_.anchors) {
        if (anchor.area.contains(point)) return anchor.href;
    }
    return {};
}

void PagePictureView::mouseMoveEvent(QMouseEvent* event) {
    setCursor(anchorAt(event->position()).isEmpty() ? Qt::ArrowCursor : Qt::PointingHandCursor);
}

void PagePictureView::mousePressEvent(QMouseEvent* event) {
    pressedAnchor_ = event->button() == Qt::LeftButton ? anchorAt(event->position()) : QString();
}

void PagePictureView::mouseReleaseEvent(QMouseEvent* event) {
    const QString pressed = std::exchange(pressedAnchor_, QString());
    if (event->button() == Qt::LeftButton && !pressed.isEmpty() &&
        anchorAt(event->position()) == pressed) {
        emit anchorClicked(QUrl(pressed));
    }
}

}  // namespace zeravan::platform
