// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "page_picture_view.h"

#include <QAccessible>
#include <QMouseEvent>
#include <QPainter>

#include "page_picture_view_accessible.h"

namespace zeravan::platform {

namespace {

// The painter tells each piece of a link where it shows and what it says; the pieces in a row
// that lead to the same address are one link, as a reader hears it and Tab reaches it.
QList<PagePictureView::Link> linksOf(const QList<PageAnchor>& anchors) {
    QList<PagePictureView::Link> links;
    for (const PageAnchor& anchor : anchors) {
        if (links.isEmpty() || links.last().href != anchor.href) {
            links.append({anchor.href, {}, {}});
        }
        links.last().name += anchor.text;
        links.last().areas.append(anchor.area);
    }
    // A picture stands in the text as U+FFFC, a line break as U+2028.
    for (PagePictureView::Link& link : links) {
        link.name = link.name.remove(QChar::ObjectReplacementCharacter)
                        .replace(QChar::LineSeparator, QLatin1Char(' '))
                        .simplified();
        if (link.name.isEmpty()) link.name = link.href;
    }
    return links;
}

}  // namespace

PagePictureView::PagePictureView(QWidget* parent) : QWidget(parent) {
    installPagePictureViewAccessible();
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    setAccessibleName(QStringLiteral("官网页面"));
}

// The pictures of a page come one answer at a time and leave its links where they were: the
// keyboard stays on its link.
void PagePictureView::showPage(PaintedPage page) {
    page_ = std::move(page);
    links_ = linksOf(page_.anchors);
    pressed_ = -1;
    current_ = qMin(current_, int(links_.size()) - 1);
    // Like a browser's page, one without links is no stop for Tab; only a link takes a click's
    // focus.
    setFocusPolicy(links_.isEmpty() ? Qt::NoFocus : Qt::TabFocus);
    update();
}

// A dotted rectangle in the highlight colour just around each piece of the link the keyboard is
// on, clear of its underline, as widgets mark their focus.
void PagePictureView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(QPointF(), page_.image);
    const int focused = focusedLink();
    if (focused < 0) return;
    painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
    for (const QRectF& area : links_[focused].areas) {
        painter.drawRect(area.toAlignedRect().adjusted(-1, -1, 0, 0));
    }
}

int PagePictureView::linkAt(QPointF point) const {
    for (qsizetype i = 0; i < links_.size(); ++i) {
        for (const QRectF& area : links_[i].areas) {
            if (area.contains(point)) return int(i);
        }
    }
    return -1;
}

void PagePictureView::mouseMoveEvent(QMouseEvent* event) {
    setCursor(linkAt(event->position()) < 0 ? Qt::ArrowCursor : Qt::PointingHandCursor);
}

// A link pressed takes the focus, and the keyboard is on it from then on, as in a browser.
void PagePictureView::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton ? linkAt(event->position()) : -1;
    if (pressed_ >= 0) focusLink(pressed_);
}

void PagePictureView::mouseReleaseEvent(QMouseEvent* event) {
    const int pressed = std::exchange(pressed_, -1);
    if (event->button() == Qt::LeftButton && pressed >= 0 && linkAt(event->position()) == pressed) {
        openLink(pressed);
    }
}

void PagePictureView::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && current_ >= 0) {
        openLink(current_);
        return;
    }
    QWidget::keyPressEvent(event);
}

// Tab comes in on the first link, Shift+Tab on the last; otherwise (a link clicked, the window
// activated again) the keyboard is where it was.
void PagePictureView::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    if (links_.isEmpty()) return;
    if (event->reason() == Qt::TabFocusReason) {
        current_ = 0;
    } else if (event->reason() == Qt::BacktabFocusReason) {
        current_ = int(links_.size()) - 1;
    } else {
        current_ = qMax(current_, 0);
    }
    update();
    // Qt tells that the page has the focus once this event is over; the link is told after it.
    QMetaObject::invokeMethod(this, &PagePictureView::tellFocusedLink, Qt::QueuedConnection);
}

void PagePictureView::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

// Tab goes on to the next link; past the last (or before the first) it leaves the band.
bool PagePictureView::focusNextPrevChild(bool next) {
    const int to = current_ + (next ? 1 : -1);
    if (hasFocus() && to >= 0 && to < links_.size()) {
        markLink(to);
        return true;
    }
    return QWidget::focusNextPrevChild(next);
}

void PagePictureView::focusLink(int index) {
    if (index < 0 || index >= links_.size()) return;
    current_ = index;
    if (hasFocus()) {
        markLink(index);
    } else {
        setFocus(Qt::OtherFocusReason);
    }
}

void PagePictureView::markLink(int index) {
    current_ = index;
    update();
    tellFocusedLink();
}

// Opened as a click opens it: the page's address and the browser's checks come after.
void PagePictureView::openLink(int index) {
    if (index >= 0 && index < links_.size()) emit anchorClicked(QUrl(links_[index].href));
}

void PagePictureView::tellFocusedLink() {
    const int focused = focusedLink();
    if (focused < 0 || !QAccessible::isActive()) return;
    QAccessibleEvent event(this, QAccessible::Focus);
    event.setChild(focused);
    QAccessible::updateAccessibility(&event);
}

}  // namespace zeravan::platform
