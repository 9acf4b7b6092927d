// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// A text document that loads nothing by itself.
#pragma once

#include <QPixmap>
#include <QTextDocument>

namespace zeravan::platform {

// A text document that loads nothing by itself. A picture it has not been given with
// addResource is an empty one, and every other resource (a style sheet) is empty text. Qt's own
// QTextDocument would read local files, qrc: and data: addresses for the names in its HTML.
class SealedTextDocument final : public QTextDocument {
    Q_OBJECT
public:
    explicit SealedTextDocument(QObject* parent);

protected:
    QVariant loadResource(int type, const QUrl& name) override;

private:
    QPixmap emptyPicture_;
};

}  // namespace zeravan::platform
