// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "page_painting.h"

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QPainter>
#include <QTextBlock>
#include <QTextLayout>

#include "data_address.h"
#include "picture_decoding.h"
#include "platform/page_decoding.h"
#include "platform/page_sanitizer.h"

namespace zeravan::platform {

namespace {

// A data: address's picture is taken from the page itself, up to this size.
constexpr qsizetype maxDataPictureBytes = 16 << 10;

}  // namespace

// The page's pictures given as data: addresses are decoded here, with the page: their bytes are
// the page's. The window is told of the others, of a length it reads.
std::unique_ptr<PagePainting> PagePainting::read(const PageToPaint& page) {
    if (page.bytes.size() > maxPageBytes) return nullptr;
    const SanitizedPage sanitized =
        sanitizePage(decodedPage(page.contentType, page.bytes).toStdString());
    if (!sanitized.accepted) return nullptr;
    std::unique_ptr<PagePainting> painting(new PagePainting(page));
    painting->document_.setHtml(QString::fromStdString(sanitized.html));
    for (std::size_t index = 0; index < sanitized.images.size(); ++index) {
        const PageImage& image = sanitized.images[index];
        const QString source = QString::fromStdString(image.source);
        const QSize asked(image.width, image.height);
        if (source.startsWith(QLatin1String("data:"), Qt::CaseInsensitive)) {
            painting->addPicture(dataAddressBytes(source, maxDataPictureBytes), index, asked);
        } else if (source.size() <= maxPictureSource) {
            painting->pictures_.append({source, asked});
            painting->images_.push_back(index);
        }
    }
    return painting;
}

// Links take their colour from the application's palette as the HTML is read: the band's own.
PagePainting::PagePainting(const PageToPaint& page)
    : viewport_(page.viewport),
      pixelRatio_(page.pixelRatio),
      palette_(page.palette),
      document_(nullptr) {
    QGuiApplication::setPalette(page.palette);
    document_.setDefaultFont(page.font);
    document_.setTextWidth(viewport_.width());
}

bool PagePainting::addPicture(const PictureToAdd& picture) {
    bool added = false;
    for (const PicturePlace& place : picture.places) {
        if (place.picture >= images_.size()) return false;
        added = addPicture(picture.bytes, images_[place.picture], place.asked) || added;
    }
    return added;
}

bool PagePainting::addPicture(const QByteArray& bytes, std::size_t image, QSize asked) {
    const QImage shown = shownPicture(bytes, asked, viewport_, pixelRatio_);
    if (shown.isNull()) return false;
    document_.addResource(QTextDocument::ImageResource,
                          QUrl(QString::fromStdString(pageImageName(image))),
                          QPixmap::fromImage(shown));
    document_.markContentsDirty(0, document_.characterCount());
    return true;
}

// As the text browser paints its viewport: the palette's base colour, then the page over it,
// whose own background fills the whole viewport. The answer keeps within its bounds.
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
    return {image, document_.toPlainText().left(maxAnswerText), anchors(), pictures_};
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
            if (href.isEmpty() || href.size() > maxAnchorHref) continue;
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
