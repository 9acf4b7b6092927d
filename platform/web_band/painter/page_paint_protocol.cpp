// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "platform/page_paint_protocol.h"

#include <QDataStream>
#include <QtEndian>
#include <functional>

namespace zeravan::platform {

namespace {

enum class RequestKind : quint8 { page = 1, picture = 2 };

constexpr QImage::Format answerFormat = QImage::Format_ARGB32_Premultiplied;

// Both ends are built together: one version of the stream, fixed. The frame is made in one
// piece, `bulk` bytes (the page, the picture, the pixels) and a little more.
QByteArray framed(qsizetype bulk, const std::function<void(QDataStream&)>& write) {
    QByteArray frame(4, '\0');
    frame.reserve(bulk + 4096);
    QDataStream out(&frame, QIODevice::WriteOnly | QIODevice::Append);
    out.setVersion(QDataStream::Qt_6_4);
    write(out);
    qToBigEndian(quint32(frame.size() - 4), frame.data());
    return frame;
}

// Reads what `read` reads from the payload; nothing unless it was all there and nothing more.
template <typename Result>
std::optional<Result> parsed(const QByteArray& payload,
                             const std::function<std::optional<Result>(QDataStream&)>& read) {
    QDataStream in(payload);
    in.setVersion(QDataStream::Qt_6_4);
    std::optional<Result> result = read(in);
    if (in.status() != QDataStream::Ok || !in.atEnd()) return std::nullopt;
    return result;
}

}  // namespace

QByteArray requestFrame(const PaintRequest& request) {
    const auto* page = std::get_if<PageToPaint>(&request);
    const qsizetype bulk =
        page != nullptr ? page->html.size() : std::get<PictureToAdd>(request).bytes.size();
    return framed(bulk, [&request](QDataStream& out) {
        if (const auto* page = std::get_if<PageToPaint>(&request)) {
            out << RequestKind::page << page->html << page->viewport << page->pixelRatio
                << page->font << page->palette;
        } else {
            const auto& picture = std::get<PictureToAdd>(request);
            out << RequestKind::picture << picture.bytes << quint32(picture.places.size());
            for (const PicturePlace& place : picture.places) out << place.name << place.asked;
        }
    });
}

std::optional<PaintRequest> parseRequest(const QByteArray& payload) {
    return parsed<PaintRequest>(payload, [](QDataStream& in) -> std::optional<PaintRequest> {
        RequestKind kind{};
        in >> kind;
        if (kind == RequestKind::page) {
            PageToPaint page;
            in >> page.html >> page.viewport >> page.pixelRatio >> page.font >> page.palette;
            return page;
        }
        if (kind == RequestKind::picture) {
            PictureToAdd picture;
            quint32 places = 0;
            in >> picture.bytes >> places;
            if (places > maxPicturePlaces) return std::nullopt;
            picture.places.resize(places);
            for (PicturePlace& place : picture.places) in >> place.name >> place.asked;
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
        PaintedPage page{QImage(pixels, answerFormat), {}, {}};
        for (int y = 0; y < pixels.height(); ++y) {
            in.readRawData(reinterpret_cast<char*>(page.image.scanLine(y)), pixels.width() * 4);
        }
        page.image.setDevicePixelRatio(pixelRatio);
        quint32 anchors = 0;
        in >> page.text >> anchors;
        if (page.text.size() > maxAnswerText || anchors > maxAnchors) return std::nullopt;
        for (quint32 i = 0; i < anchors && in.status() == QDataStream::Ok; ++i) {
            PageAnchor anchor;
            in >> anchor.href >> anchor.text >> anchor.area;
            if (anchor.href.size() > maxAnchorHref || anchor.text.size() > maxAnchorText) {
                return std::nullopt;
            }
            page.anchors.append(anchor);
        }
        return PaintAnswer(std::move(page));
    });
}

qint64 maxAnswerBytes(QSize pixels) {
    return qint64(pixels.width()) * pixels.height() * 4 + 2 * maxAnswerText +
           maxAnchors * (2 * (maxAnchorHref + maxAnchorText) + 64) + 1024;
}

std::optional<QByteArray> takeFrame(QIODevice& device, qint64 maxBytes, bool& oversized) {
    char header[4];
    if (device.peek(header, 4) != 4) return std::nullopt;
    const qint64 length = qFromBigEndian<quint32>(header);
    oversized = length > maxBytes;
    if (oversized || device.bytesAvailable() < 4 + length) return std::nullopt;
    device.skip(4);
    return device.read(length);
}

}  // namespace zeravan::platform
