// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "page_pictures.h"

#include <QBuffer>
#include <QImageReader>

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

}  // namespace

QImage shownPicture(const QByteArray& bytes, QSize asked, QSize bound, qreal pixelRatio) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    // The size comes from the picture's header: nothing is decoded before it has been checked.
    static const QList<QByteArray> formats = {"png", "jpeg", "gif", "bmp"};
    const QSize own = reader.size();
    if (!formats.contains(reader.format()) || own.isEmpty() ||
        qint64(own.width()) * own.height() > maxPicturePixels) {
        return {};
    }
    QSize shown = askedSize(asked, own);
    if (shown.width() > bound.width() || shown.height() > bound.height()) {
        shown = shown.scaled(bound, Qt::KeepAspectRatio).expandedTo({1, 1});
    }
    reader.setScaledSize((QSizeF(shown) * pixelRatio).toSize().expandedTo({1, 1}));
    QImage picture = reader.read();
    picture.setDevicePixelRatio(pixelRatio);
    return picture;
}

QByteArray dataAddressBytes(const QString& address, qsizetype maxBytes) {
    // Percent-encoding takes at most three characters per byte.
    if (!address.startsWith(QLatin1String("data:"), Qt::CaseInsensitive) ||
        address.size() > 3 * maxBytes + 100) {
        return {};
    }
    const qsizetype comma = address.indexOf(QLatin1Char(','));
    if (comma < 0) return {};
    const QByteArray payload = address.mid(comma + 1).toLatin1();
    const QByteArray bytes =
        address.left(comma).endsWith(QLatin1String(";base64"), Qt::CaseInsensitive)
            ? QByteArray::fromBase64(payload)
            : QByteArray::fromPercentEncoding(payload);
    return bytes.size() <= maxBytes ? bytes : QByteArray();
}

}  // namespace zeravan::platform
