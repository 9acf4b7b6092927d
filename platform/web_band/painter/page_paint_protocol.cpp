// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "platform/page_paint_protocol.h"

#include <QDataStream>
#include <QIODevice>
#include <QtEndian>
#include <functional>

#include "platform/page_sanitizer.h"

namespace zeravan::platform {

const qsizetype maxAnswerText = qsizetype(maxPageText) + qsizetype(maxPageElements);
const qsizetype maxPagePictures = qsizetype(maxPageImages);

namespace {

enum class RequestKind : quint8 { page = 1, picture = 2 };

constexpr qsizetype headerBytes = 8;  // the payload's length, the protocol's version
constexpr QImage::Format answerFormat = QImage::Format_ARGB32_Premultiplied;
constexpr qsizetype maxContentType = 1024;

// Both ends are built together: one version of the stream, fixed. The frame is made in one
// piece, `bulk` bytes (the page, the picture, the pixels) and a little more.
QByteArray framed(qsizetype bulk, const std::function<void(QDataStream&)>& write) {
    QByteArray frame(headerBytes, '\0');
    frame.reserve(bulk + 4096);
    QDataStream out(&frame, QIODevice::WriteOnly | QIODevice::Append);
    out.setVersion(QDataStream::Qt_6_4);
    write(out);
    qToBigEndian(quint32(frame.size() - headerBytes), frame.data());
    qToBigEndian(paintProtocolVersion, frame.data() + 4);
    return frame;
}

// Reads what `read` reads from the payload; nothing unless it was all there and nothing more.
template <typename Result>
std::optional<Result> parsed(const QByteArray& payload,
                             const std::function<std::optional<Result>(QDataStream&)>& read) {
    QDataStream in(payload);
    in.setVersion(QDataStream::Qt_6_4);
    std::optional<Result> result = read(in);
    if (!result || in.status() != QDataStream::Ok || !in.atEnd()) return std::nullopt;
    return result;
}

// A string of at most `most` characters.
bool readBounded(QDataStream& in, QString& text, qsizetype most) {
    in >> text;
    return in.status() == QDataStream::Ok && text.size() <= most;
}

// A count of at most `most` things to come.
bool readCount(QDataStream& in, quint32& count, qsizetype most) {
    in >> count;
    return in.status() == QDataStream::Ok && count <= quint64(most);
}

}  // namespace

QByteArray requestFrame(const PaintRequest& request) {
    const auto* page = std::get_if<PageToPaint>(&request);
    const qsizetype bulk =
        page != nullptr ? page->bytes.size() : std::get<PictureToAdd>(request).bytes.size();
    return framed(bulk, [&request](QDataStream& out) {
        if (const auto* page = std::get_if<PageToPaint>(&request)) {
            out << RequestKind::page << page->bytes << page->viewport << page->pixelRatio
                << page->font << page->palette << page->contentType;
        } else {
            const auto& picture = std::get<PictureToAdd>(request);
            out << RequestKind::picture << picture.bytes << quint32(picture.places.size());
            for (const PicturePlace& place : picture.places) out << place.picture << place.asked;
        }
    });
}

std::optional<PaintRequest> parseRequest(const QByteArray& payload) {
    return parsed<PaintRequest>(payload, [](QDataStream& in) -> std::optional<PaintRequest> {
        RequestKind kind{};
        in >> kind;
        if (kind == RequestKind::page) {
            PageToPaint page;
            in >> page.bytes >> page.viewport >> page.pixelRatio >> page.font >> page.palette;
            if (!readBounded(in, page.contentType, maxContentType)) return std::nullopt;
            return page;
        }
        if (kind == RequestKind::picture) {
            PictureToAdd picture;
            quint32 places = 0;
            in >> picture.bytes;
            if (!readCount(in, places, maxPagePictures)) return std::nullopt;
            picture.places.resize(places);
            for (PicturePlace& place : picture.places) in >> place.picture >> place.asked;
            return picture;
        }
        return std::nullopt;
    });
}

QByteArray answerFrame(const PaintAnswer& answer) {
    const qsizetype bulk = answer ? answer->image.sizeInBytes() + 2 * answer->text.size() : 0;
    return framed(bulk, [&answer](QDataStream& out) {
        out << answer.has_value();
        if (!answer) return;
        // The pixels' rows as they are, which the window reads straight into its image.
        const QImage image = answer->image.convertToFormat(answerFormat);
        out << image.size() << image.devicePixelRatio();
        for (int y = 0; y < image.height(); ++y) {
            out.writeRawData(reinterpret_cast<const char*>(image.constScanLine(y)),
                             image.width() * 4);
        }
        out << answer->text << quint32(answer->anchors.size());
        for (const PageAnchor& anchor : answer->anchors)
            out << anchor.href << anchor.text << anchor.area;
        out << quint32(answer->pictures.size());
        for (const PagePicture& picture : answer->pictures) out << picture.source << picture.asked;
    });
}

std::optional<PaintAnswer> parseAnswer(const QByteArray& payload, QSize pixels) {
    return parsed<PaintAnswer>(payload, [pixels](QDataStream& in) -> std::optional<PaintAnswer> {
        bool painted = false;
        in >> painted;
        if (!painted) return PaintAnswer();
        QSize size;
        qreal pixelRatio = 0;
        in >> size >> pixelRatio;
        if (size != pixels || !(pixelRatio > 0 && pixelRatio <= 16)) return std::nullopt;
        PaintedPage page{QImage(pixels, answerFormat), {}, {}, {}};
        for (int y = 0; y < pixels.height(); ++y) {
            in.readRawData(reinterpret_cast<char*>(page.image.scanLine(y)), pixels.width() * 4);
        }
        page.image.setDevicePixelRatio(pixelRatio);
        quint32 count = 0;
        if (!readBounded(in, page.text, maxAnswerText) || !readCount(in, count, maxAnchors)) {
            return std::nullopt;
        }
        page.anchors.resize(count);
        for (PageAnchor& anchor : page.anchors) {
            if (!readBounded(in, anchor.href, maxAnchorHref) ||
                !readBounded(in, anchor.text, maxAnchorText)) {
                return std::nullopt;
            }
            in >> anchor.area;
        }
        if (!readCount(in, count, maxPagePictures)) return std::nullopt;
        page.pictures.resize(count);
        for (PagePicture& picture : page.pictures) {
            if (!readBounded(in, picture.source, maxPictureSource)) return std::nullopt;
            in >> picture.asked;
        }
        return PaintAnswer(std::move(page));
    });
}

// A string's bytes: its length and two for each character.
qint64 maxAnswerBytes(QSize pixels) {
    const auto string = [](qsizetype characters) { return 4 + 2 * qint64(characters); };
    return 1 + 8 + 8 + qint64(pixels.width()) * pixels.height() * 4 + string(maxAnswerText) + 4 +
           maxAnchors * (string(maxAnchorHref) + string(maxAnchorText) + 32) + 4 +
           maxPagePictures * (string(maxPictureSource) + 8);
}

std::optional<QByteArray> FrameReader::next(qint64 maxPayload) {
    if (fault_ != Fault::none || buffer_.size() < headerBytes) return std::nullopt;
    const qint64 length = qFromBigEndian<quint32>(buffer_.constData());
    version_ = qFromBigEndian<quint32>(buffer_.constData() + 4);
    if (version_ != paintProtocolVersion)
        fault_ = Fault::otherVersion;
    else if (length > maxPayload)
        fault_ = Fault::oversized;
    if (fault_ != Fault::none || buffer_.size() < headerBytes + length) return std::nullopt;
    QByteArray payload = buffer_.mid(headerBytes, length);
    buffer_.remove(0, headerBytes + length);
    return payload;
}

qint64 FrameReader::missing() const {
    if (buffer_.size() < headerBytes) return headerBytes - buffer_.size();
    return headerBytes + qFromBigEndian<quint32>(buffer_.constData()) - buffer_.size();
}

}  // namespace zeravan::platform
