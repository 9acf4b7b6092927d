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

// Both ends are built together: one version of the stream, fixed.
QByteArray framed(const std::function<void(QDataStream&)>& write) {
    QByteArray frame(4, '\0');
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
    return framed([&request](QDataStream& out) {
        if (const auto* page = std::get_if<PageToPaint>(&request)) {
            out << RequestKind::page << page->html << page->viewport << page->pixelRatio
                << page->font << page->palette;
        } else {
            const auto& picture = std::get<PictureToAdd>(request);
            out << RequestKind::picture << picture.name << picture.bytes << picture.asked;
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
            in >> picture.name >> picture.bytes >> picture.asked;
            return picture;
        }
        return std::nullopt;
    });
}

QByteArray answerFrame(const PaintAnswer& answer) {
    return framed([&answer](QDataStream& out) {
        out << answer.has_value();
        if (!answer) return;
        const QImage image = answer->image.convertToFormat(answerFormat);
        QByteArray pixels;
        pixels.reserve(image.height() * qsizetype(image.width()) * 4);
        for (int y = 0; y < image.height(); ++y) {
            pixels.append(reinterpret_cast<const char*>(image.constScanLine(y)),
                          qsizetype(image.width()) * 4);
        }
        out << image.size() << image.devicePixelRatio() << pixels << answer->text
            << quint32(answer->anchors.size());
        for (const PageAnchor& anchor : answer->anchors) out << anchor.href << anchor.area;
    });
}

std::optional<PaintAnswer> parseAnswer(const QByteArray& payload, QSize pixels) {
    return parsed<PaintAnswer>(payload, [pixels](QDataStream& in) -> std::optional<PaintAnswer> {
        bool painted = false;
        in >> painted;
        if (!painted) return PaintAnswer();
        QSize size;
        qreal pixelRatio = 0;
        QByteArray bytes;
        PaintedPage page;
        quint32 anchors = 0;
        in >> size >> pixelRatio >> bytes >> page.text >> anchors;
        if (size != pixels || bytes.size() != qsizetype(pixels.width()) * pixels.height() * 4 ||
            !(pixelRatio > 0 && pixelRatio <= 16) || page.text.size() > maxAnswerText ||
            anchors > maxAnchors) {
            return std::nullopt;
        }
        page.image = QImage(reinterpret_cast<const uchar*>(bytes.constData()), pixels.width(),
                            pixels.height(), qsizetype(pixels.width()) * 4, answerFormat)
                         .copy();
        page.image.setDevicePixelRatio(pixelRatio);
        for (quint32 i = 0; i < anchors && in.status() == QDataStream::Ok; ++i) {
            PageAnchor anchor;
            in >> anchor.href >> anchor.area;
            if (anchor.href.size() > maxAnchorHref) return std::nullopt;
            page.anchors.append(anchor);
        }
        return PaintAnswer(std::move(page));
    });
}

qint64 maxAnswerBytes(QSize pixels) {
    return qint64(pixels.width()) * pixels.height() * 4 + 2 * maxAnswerText +
           maxAnchors * (2 * maxAnchorHref + 64) + 1024;
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
