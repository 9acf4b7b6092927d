// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// A page laid out and painted into an image with its links.
#pragma once

#include <memory>
#include <vector>

#include "platform/page_paint_protocol.h"
#include "sealed_text_document.h"

namespace zeravan::platform {

// One page read from its bytes as browsers read it (its encoding, then what of its markup the
// band lays out), laid out at the band's size as the band's text browser would lay it out, with
// the pictures that came for it, and painted into an image with the areas of its links.
class PagePainting {
public:
    // Nothing for a page the band does not lay out.
    static std::unique_ptr<PagePainting> read(const PageToPaint& page);

    // False when the bytes are not a picture to show, or not for a place of this page's: the
    // page stays as it is.
    bool addPicture(const PictureToAdd& picture);
    PaintedPage paint();

private:
    explicit PagePainting(const PageToPaint& page);
    bool addPicture(const QByteArray& bytes, std::size_t image, QSize asked);
    QList<PageAnchor> anchors();

    QSize viewport_;
    qreal pixelRatio_;
    QPalette palette_;
    SealedTextDocument document_;
    QList<PagePicture> pictures_;      // for the window to fetch
    std::vector<std::size_t> images_;  // the page's image of each of those
};

}  // namespace zeravan::platform
