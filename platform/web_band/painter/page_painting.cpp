// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "page_painting.h"

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QPainter>
#include <QTextBlock>
#include <QTextLayout>

#include "picture_decoding.h"

namespace zeravan::platform {

// Links take their colour from the application's palette as the HTML is read: the band's own.
PagePainting::PagePainting(const PageToPaint& page)
    : viewport_(page.viewport),
      pixelRatio_(page.pixelRatio),
      palette_(page.palette),
      document_(nullptr) {
    QGuiApplication::setPalette(page.palette);
    document_.setDefaultFont(page.font);
    document_.setHtml(QString::fromUtf8(page.html));
    document_.setTextWidth(viewport_.width());
}

bool PagePainting::addPicture(const PictureToAdd& picture) {
    bool added = false;
    for (const PicturePlace& place : picture.places) {
        const QImage shown = shownPicture(picture.bytes, place.asked, viewport_, pixelRatio_);
        if (shown.isNull()) continue;
        document_.addResource(QTextDocument::ImageResource, QUrl(place.name),
                              QPixmap::fromImage(shown));
        added = true;
    }
    if (added) document_.markContentsDirty(0, document_.characterCount());
    return added;
}

// As the text browser paints its viewport: the palette's base colour, then the page over it,
// whose own background fills the whole viewport.
PaintedPage PagePainting::paint() {
    QImage image((QSizeF(viewport_) * pixelRatio_).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(pixelRatio_);
    image.fill(palette_.color(QPalette::Base));
    QPainter painter(&image);
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette = palette_;
    context.clip = QRectF(QPointF(), QSizeF(viewport_));
    document_.documentLayout()->draw(&painter, context);
    painter.end();
    return {image, document_.toPlainText(), anchors()};
}

// Where each link's text and pictures show within the viewport, line by line.
QList<PageAnchor> PagePainting::anchors() {
    QList<PageAnchor> found;
    const QRectF shown(QPointF(0, 0), QSizeF(viewport_));
    for (QTextBlock block = document_.begin(); block.isValid(); block = block.next()) {
        const QTextLayout* lines = block.layout();
        const QPointF origin = document_.documentLayout()->blockBoundingRect(block).topLeft();
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QString href = fragment.charFormat().anchorHref();
            if (href.isEmpty()) continue;
            const int start = fragment.position() - block.position();
            const int end = start + fragment.length();
            for (int i = 0; i < lines->lineCount(); ++i) {
                const QTextLine line = lines->lineAt(i);
                const int from = qMax(start, line.textStart());
                const int to = qMin(end, line.textStart() + line.textLength());
                if (from >= to) continue;
                const qreal left = line.cursorToX(from);
                const qreal right = line.cursorToX(to);
                const QRectF area = QRectF(origin + QPointF(qMin(left, right), line.y()),
                                           QSizeF(qAbs(right - left), line.height()))
                                        .intersected(shown);
                const QString text = block.text().mid(from, to - from).left(maxAnchorText);
                if (!area.isEmpty() && found.size() < maxAnchors) found.append({href, text, area});
            }
        }
    }
    return found;
}

}  // namespace zeravan::platform
