// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The page's pictures decoded, bounded and scaled.
#pragma once

#include <QByteArray>
#include <QImage>

namespace zeravan::platform {

// The most memory Qt may take for decoding one picture, in megabytes: a picture of
// maxPicturePixels at eight bytes a pixel (16-bit PNG), and room to spare.
inline constexpr int maxDecodingMegabytes = 32;

// The picture in bytes, when admitPicture admits it, decoded once and scaled to the size the
// page shows it at: asked, with a side of -1 taken from the picture's proportions, or the
// picture's own size; shrunk to fit within bound, for a screen of the given pixel ratio. Null
// for anything else.
QImage shownPicture(const QByteArray& bytes, QSize asked, QSize bound, qreal pixelRatio);

}  // namespace zeravan::platform
