// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/page_paint_protocol.h"
#include "sealed_text_document.h"

namespace zeravan::platform {

// One page laid out at the band's size as the band's text browser would lay it out, with the
// pictures that came for it, and painted into an image with the areas of its links.
class PagePainting {
public:
    explicit PagePainting(const PageToPaint& page);

    // False when the bytes are not a picture to show: the page stays as it is.
    bool addPicture(const PictureToAdd& picture);
    PaintedPage paint();

private:
    QList<PageAnchor> anchors();

    QSize viewport_;
    qreal pixelRatio_;
    QPalette palette_;
    SealedTextDocument document_;
};

}  // namespace zeravan::platform
