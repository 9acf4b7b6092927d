// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace zeravan::platform {

// At most this many pixels are decoded for one picture of the web band (a 1600 x 1200 photo).
inline constexpr qint64 maxPicturePixels = 2'000'000;

// The picture in bytes (PNG, JPEG, GIF or BMP of at most maxPicturePixels), decoded once and
// scaled to the size the page shows it at: asked, with a side of -1 taken from the picture's
// proportions, or the picture's own size; shrunk to fit within bound, for a screen of the given
// pixel ratio. Null for anything else.
QImage shownPicture(const QByteArray& bytes, QSize asked, QSize bound, qreal pixelRatio);

// The bytes a data: address carries, when they are at most maxBytes; empty otherwise.
QByteArray dataAddressBytes(const QString& address, qsizetype maxBytes);

}  // namespace zeravan::platform
