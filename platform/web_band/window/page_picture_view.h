// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The painted page as the band shows it, with its links.
#pragma once

#include <QUrl>
#include <QWidget>

#include "platform/page_paint_protocol.h"

namespace zeravan::platform {

// A painted page as the band shows it: its image, with its links as in a text browser. The
// pointer gets the pointing hand over them and a click that ends on the link it started on
// opens it; Tab and Shift+Tab go from link to link, into the band and out of it again, with a
// dotted mark around the link the keyboard is on, and Enter opens that one. Screen readers find
// the page's text and its links (page_picture_view_accessible.h).
class PagePictureView final : public QWidget {
    Q_OBJECT
public:
    // A link as the band offers it: the painted pieces in a row that lead to the same address,
    // as a link that wraps onto another line, or changes its look halfway, is painted.
    struct Link {
        QString href;
        QString name;  // what it says, or its address when it says nothing
        QList<QRectF> areas;
    };

    explicit PagePictureView(QWidget* parent);

    void showPage(PaintedPage page);
    const QString& text() const { return page_.text; }
    const QList<Link>& links() const { return links_; }
    // The link the keyboard is on while the page has the focus, else -1.
    int focusedLink() const { return hasFocus() ? current_ : -1; }
    // The link painted at that point of the view, else -1.
    int linkAt(QPointF point) const;
    void focusLink(int index);
    void openLink(int index);

signals:
    void anchorClicked(const QUrl& link);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void markLink(int index);
    void tellFocusedLink();

    PaintedPage page_;
    QList<Link> links_;
    int current_ = -1;  // the link the keyboard is on, or was on when the page lost the focus
    int pressed_ = -1;
};

}  // namespace zeravan::platform
