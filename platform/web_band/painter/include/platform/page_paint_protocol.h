// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QFont>
#include <QIODevice>
#include <QImage>
#include <QList>
#include <QPalette>
#include <QRectF>
#include <QString>
#include <optional>
#include <variant>

// What the window asks of the page painter, a process of its own, and what the painter answers.
// Each message is a frame: its length in four bytes (big-endian), then its fields as QDataStream
// writes them. The window reads every answer as it would read the page itself: the painter has
// handled the page's bytes, so what it says is checked, not believed.
namespace zeravan::platform {

// A page of HTML for the painter to lay out as the band would, at the band's size.
struct PageToPaint {
    QByteArray html;  // UTF-8
    QSize viewport;   // logical pixels
    qreal pixelRatio = 1;
    QFont font;
    QPalette palette;
};

// Where the page shows a picture: by the name it has in the page's HTML, at the size the page
// gives it (a side of -1 where it gives none).
struct PicturePlace {
    QString name;
    QSize asked;
};

// A picture in the bytes that came, for every place the page shows it.
struct PictureToAdd {
    QByteArray bytes;
    QList<PicturePlace> places;
};

using PaintRequest = std::variant<PageToPaint, PictureToAdd>;

// A link of the painted page and where it shows.
struct PageAnchor {
    QString href;
    QString text;  // what the link says there, for whoever cannot see it
    QRectF area;   // within the viewport, logical pixels
};

struct PaintedPage {
    QImage image;  // the viewport at the pixel ratio asked for
    QString text;  // what the page says, for whoever cannot see it
    QList<PageAnchor> anchors;
};

// The answer to every request: the page painted again, or nothing new (a picture that was not
// one to show).
using PaintAnswer = std::optional<PaintedPage>;

inline constexpr qint64 maxRequestBytes = 8 << 20;
inline constexpr qsizetype maxAnswerText = 1 << 20;
inline constexpr qsizetype maxAnchors = 4096;
inline constexpr qsizetype maxAnchorHref = 8192;
inline constexpr qsizetype maxAnchorText = 1024;
inline constexpr qsizetype maxPicturePlaces = 64;

QByteArray requestFrame(const PaintRequest& request);
std::optional<PaintRequest> parseRequest(const QByteArray& payload);

QByteArray answerFrame(const PaintAnswer& answer);
// The answer, when it is well formed and its image has exactly `pixels`.
std::optional<PaintAnswer> parseAnswer(const QByteArray& payload, QSize pixels);
// The most bytes an answer with an image of `pixels` may take.
qint64 maxAnswerBytes(QSize pixels);

// The payload of the next whole frame waiting on the device, taken from it; nothing while the
// frame is not all there. `oversized` is set, and nothing taken, when the frame would be longer
// than maxBytes.
std::optional<QByteArray> takeFrame(QIODevice& device, qint64 maxBytes, bool& oversized);

}  // namespace zeravan::platform
