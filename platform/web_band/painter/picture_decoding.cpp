// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "picture_decoding.h"

#include <QBuffer>
#include <QImageReader>

#include "platform/picture_admission.h"

namespace zeravan::platform {

namespace {

QSize askedSize(QSize asked, QSize own) {
    if (asked.width() > 0 && asked.height() > 0) return asked;
    if (asked.width() > 0) {
        return {asked.width(), qMax(1, qRound(qreal(asked.width()) * own.height() / own.width()))};
    }
    if (asked.height() > 0) {
        return {qMax(1, qRound(qreal(asked.height()) * own.width() / own.height())),
                asked.height()};
    }
    return own;
}

QByteArray decoderName(PictureFormat format) {
    switch (format) {
        case PictureFormat::png:
            return "png";
        case PictureFormat::jpeg:
            return "jpeg";
        case PictureFormat::gif:
            return "gif";
        case PictureFormat::bmp:
            return "bmp";
        case PictureFormat::ico:
            return "ico";
    }
    return {};
}

}  // namespace

QImage shownPicture(const QByteArray& bytes, QSize asked, QSize bound, qreal pixelRatio) {
    const std::optional<AdmittedPicture> picture =
        admitPicture(std::string_view(bytes.constData(), bytes.size()));
    if (!picture) return {};
    QBuffer buffer;
    buffer.setData(QByteArray::fromStdString(picture->bytes));
    buffer.open(QIODevice::ReadOnly);
    // The decoder is the one the first bytes call for, never one Qt would pick by itself.
    QImageReader reader(&buffer, decoderName(picture->format));
    reader.setAutoDetectImageFormat(false);
    QSize shown = askedSize(asked, {picture->width, picture->height});
    if (shown.width() > bound.width() || shown.height() > bound.height()) {
        shown = shown.scaled(bound, Qt::KeepAspectRatio).expandedTo({1, 1});
    }
    reader.setScaledSize((QSizeF(shown) * pixelRatio).toSize().expandedTo({1, 1}));
    QImage decoded = reader.read();
    decoded.setDevicePixelRatio(pixelRatio);
    return decoded;
}

}  // namespace zeravan::platform
