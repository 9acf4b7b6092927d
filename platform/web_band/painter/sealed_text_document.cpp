// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "sealed_text_document.h"

namespace zeravan::platform {

SealedTextDocument::SealedTextDocument(QObject* parent)
    : QTextDocument(parent), emptyPicture_(1, 1) {
    emptyPicture_.fill(Qt::transparent);
}

// Never empty-handed: an answer Qt finds empty sends it to read the name as a file itself.
QVariant SealedTextDocument::loadResource(int type, const QUrl&) {
    if (type == ImageResource) return emptyPicture_;
    return QString(QLatin1String(""));
}

}  // namespace zeravan::platform
