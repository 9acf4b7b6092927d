// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// A page's bytes read as text in its encoding.
#pragma once

#include <QByteArray>
#include <QString>

namespace zeravan::platform {

// A page's text, read as browsers read it: in the encoding its byte order mark, the charset of
// its Content-Type header or a <meta> near its start names (pageCharset), else UTF-8. A legacy
// encoding is read by what the system offers; one it cannot read is read as UTF-8.
QString decodedPage(const QString& contentType, const QByteArray& body);

}  // namespace zeravan::platform
