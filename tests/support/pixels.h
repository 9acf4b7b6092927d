// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// Finding what a grab of the band or the windows shows: which of its pixels are of a kind.
#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QPoint>
#include <cstdlib>

namespace zeravan::test {

// The places of the pixels that `wanted` takes, row by row from the top left.
template <typename Wanted>
QList<QPoint> pixelsWhere(const QImage& image, Wanted wanted) {
    QList<QPoint> places;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (wanted(image.pixelColor(x, y))) places << QPoint(x, y);
        }
    }
    return places;
}

// Within a few steps of the colour: JPEG shifts colours a little.
inline auto near(const QColor& colour) {
    return [colour](const QColor& pixel) {
        return std::abs(pixel.red() - colour.red()) + std::abs(pixel.green() - colour.green()) +
                   std::abs(pixel.blue() - colour.blue()) <
               24;
    };
}

// Not a shade of grey: a picture, a link, or colour from a style sheet.
inline bool coloured(const QColor& pixel) {
    return pixel.red() != pixel.green() || pixel.green() != pixel.blue();
}

}  // namespace zeravan::test
