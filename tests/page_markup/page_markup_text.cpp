// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// page_markup_text FILE...: for each file (first line the Content-Type header, the rest the
// page's bytes, as the fuzz seeds), one JSON line: whether the band lays the page out, the text
// Qt's rich text then holds and the pictures it asks for, the page read and rewritten as the
// band reads and rewrites it.
#include <QFile>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextDocument>
#include <cstdio>

#include "platform/page_decoding.h"
#include "platform/page_sanitizer.h"

using namespace zeravan::platform;

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    for (int i = 1; i < argc; ++i) {
        QFile file(QString::fromLocal8Bit(argv[i]));
        if (!file.open(QIODevice::ReadOnly)) return 2;
        const QByteArray contentType = file.readLine().chopped(1);
        const QByteArray body = file.readAll();
        const SanitizedPage page =
            sanitizePage(decodedPage(QString::fromLatin1(contentType), body).toStdString());
        QTextDocument document;
        if (page.accepted) document.setHtml(QString::fromStdString(page.html));
        QJsonArray pictures;
        for (const PageImage& image : page.images) {
            pictures.append(QString::fromStdString(image.source));
        }
        const QJsonObject result{
            {"accepted", page.accepted}, {"text", document.toPlainText()}, {"pictures", pictures}};
        std::printf("%s\n", QJsonDocument(result).toJson(QJsonDocument::Compact).constData());
    }
    return 0;
}
