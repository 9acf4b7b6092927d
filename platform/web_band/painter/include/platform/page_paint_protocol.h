// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// What the window and the page painter say to each other, and its bounds.
#pragma once

#include <QByteArray>
#include <QFont>
#include <QImage>
#include <QList>
#include <QPalette>
#include <QRectF>
#include <QString>
#include <optional>
#include <variant>

// What the window asks of the page painter, a process of its own, and what the painter answers.
// Each message is a frame: its length and the protocol's version in four bytes each
// (big-endian), then its fields as QDataStream writes them. Both ends read frames with one
// FrameReader and refuse a frame of another version: a painter of another build. The window
// hands over the page's bytes as they came; the painter does all the reading. The window reads
// every answer as it would read the page itself: the painter has handled the page's bytes, so
// what it says is checked, not believed, and each answer is bounded by what a page the painter
// lays out can hold.
namespace zeravan::platform {

inline constexpr quint32 paintProtocolVersion = 2;

// What the window fetches for the band, at the most.
inline constexpr qint64 maxPageBytes = 1 << 20;
inline constexpr qint64 maxPictureBytes = 512 << 10;

// The page as it came, for the painter to read and lay out as the band would, at its size.
struct PageToPaint {
    QByteArray bytes;
    QSize viewport;  // logical pixels
    qreal pixelRatio = 1;
    QFont font;
    QPalette palette;
    QString contentType;  // the response's Content-Type header, for its charset
};

// Where the page shows a picture: its place in the painted page's list of pictures, at the size
// the page gives it there.
struct PicturePlace {
    quint32 picture = 0;
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

// A picture the page names, for the window to fetch if it may: its address as the page wrote
// it, and the size the page gives it (a side of -1 where it gives none). The painter takes the
// page's small data: addresses itself.
struct PagePicture {
    QString source;
    QSize asked;
};

struct PaintedPage {
    QImage image;  // the viewport at the pixel ratio asked for
    QString text;  // what the page says, for whoever cannot see it
    QList<PageAnchor> anchors;
    QList<PagePicture> pictures;
};

// The answer to every request: the page painted again; or nothing, for a page the band does not
// lay out (too deep, too big) or a picture that was not one to show.
using PaintAnswer = std::optional<PaintedPage>;

// An answer holds at most what a page the painter lays out can say: its text within the
// markup's budget (a line break or a picture's place for each element), and its links and
// pictures each with a short address. The painter leaves out what is more.
extern const qsizetype maxAnswerText;
inline constexpr qsizetype maxAnchors = 256;
inline constexpr qsizetype maxAnchorHref = 2048;
inline constexpr qsizetype maxAnchorText = 1024;
extern const qsizetype maxPagePictures;
inline constexpr qsizetype maxPictureSource = 2048;
inline constexpr qint64 maxRequestBytes = maxPageBytes + (64 << 10);

QByteArray requestFrame(const PaintRequest& request);
std::optional<PaintRequest> parseRequest(const QByteArray& payload);

QByteArray answerFrame(const PaintAnswer& answer);
// The answer, when it is well formed, within its bounds and its image has exactly `pixels`.
std::optional<PaintAnswer> parseAnswer(const QByteArray& payload, QSize pixels);
// The most bytes an answer with an image of `pixels` may take.
qint64 maxAnswerBytes(QSize pixels);

// Frames out of the bytes as they come, from a pipe read as much as it holds (the window) or
// exactly as much as the frame lacks (the painter, which waits on its input).
class FrameReader {
public:
    enum class Fault { none, oversized, otherVersion };

    void append(QByteArrayView bytes) { buffer_.append(bytes); }
    // The payload of the next whole frame, taken; nothing while it is not all there, or once a
    // frame is longer than maxPayload or of another version (fault() says which).
    std::optional<QByteArray> next(qint64 maxPayload);
    // The bytes the frame being read still lacks: of its header, or of its payload.
    qint64 missing() const;
    // Bytes taken that are not yet a whole frame.
    qint64 buffered() const { return buffer_.size(); }
    Fault fault() const { return fault_; }
    // The version the last frame header read gave.
    quint32 version() const { return version_; }
    void clear() { *this = FrameReader(); }

private:
    QByteArray buffer_;
    Fault fault_ = Fault::none;
    quint32 version_ = 0;
};

}  // namespace zeravan::platform
