// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "data_address.h"

namespace zeravan::platform {

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
