// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "platform/page_decoding.h"

#include <QStringDecoder>
#include <string>

#include "legacy_decoding.h"
#include "platform/page_charset.h"

namespace zeravan::platform {

namespace {

// Bytes from 0x80 up as the private-use characters from U+F780 up.
QString userDefined(const QByteArray& bytes) {
    QString text;
    text.reserve(bytes.size());
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        text += QChar(value < 0x80 ? value : 0xF780 + value - 0x80);
    }
    return text;
}

}  // namespace

QString decodedPage(const QString& contentType, const QByteArray& body) {
    const std::string encoding =
        pageCharset(contentType.toStdString(), std::string_view(body.constData(), body.size()));
    if (encoding == "UTF-8" || encoding == "UTF-16LE" || encoding == "UTF-16BE") {
        QStringDecoder decoder(encoding.c_str());  // Qt's own, on every system
        return decoder.decode(body);
    }
    // Encodings browsers refuse, as their escapes can hide markup: one replacement character.
    if (encoding == "replacement") return body.isEmpty() ? QString() : QString(QChar(0xFFFD));
    if (encoding == "x-user-defined") return userDefined(body);
    if (body.isEmpty()) return {};
    return legacyDecoded(encoding, body).value_or(QString::fromUtf8(body));
}

}  // namespace zeravan::platform
