// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// page_painter_check <painter>: asks a page painter (the Windows one, under Wine behind a script)
// for a page of Chinese text with a link, then for a picture of each format it takes and of two
// it must not, and checks each answer as the band would read it. Prints how long each took and
// ends with status 0 when every answer is right.
#include <QBuffer>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImageWriter>
#include <QSignalSpy>
#include <cstdio>

#include "pixels.h"
#include "platform/page_painter.h"

using namespace zeravan::platform;

namespace {

struct Picture {
    const char* name;
    QByteArray bytes;
    QColor colour;  // invalid for a picture that must not show
};

QByteArray encoded(QColor colour, const char* format) {
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QImageWriter(&buffer, format).write(image);
    return bytes;
}

qsizetype pixelsNear(const QImage& image, QColor colour) {
    return zeravan::test::pixelsWhere(image, zeravan::test::near(colour)).size();
}

bool failed(const char* what) {
    std::printf("FAIL: %s\n", what);
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    const QGuiApplication application(argc, argv);
    if (argc != 2) return 2;
    // One green pixel: Qt writes no GIF.
    const QByteArray gif(
        "GIF89a\1\0\1\0\x80\0\0\0\xff\0\0\xff\0\x2c\0\0\0\0\1\0\1\0\0\2\2\x44\1\0;", 35);
    const QByteArray svg =
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"16\" height=\"16\">"
        "<rect width=\"16\" height=\"16\" fill=\"#ff00ff\"/></svg>";
    const std::vector<Picture> pictures = {
        {"png", encoded(Qt::red, "png"), Qt::red},
        {"jpeg", encoded(Qt::blue, "jpeg"), Qt::blue},
        {"gif", gif, Qt::green},
        {"bmp", encoded(Qt::cyan, "bmp"), Qt::cyan},
        {"ico", encoded(Qt::yellow, "ico"), Qt::yellow},
        {"svg", svg, QColor()},
        {"ppm", encoded(Qt::magenta, "ppm"), QColor()},
    };
    QString html = QStringLiteral(
        "<body bgcolor=\"#fff4c0\"><p>定时关机 <a href=\"http://zeravan.example/a\">链接</a></p>");
    for (const Picture& picture : pictures) {
        html += QStringLiteral("<img src=\"%1\">").arg(QLatin1String(picture.name));
    }
    // Wine starts a program in seconds, and its first one in a prefix in more.
    PagePainter painter(QString::fromLocal8Bit(argv[1]), nullptr, 120'000);
    QSignalSpy answers(&painter, &PagePainter::answered);
    QSignalSpy failures(&painter, &PagePainter::failed);
    QElapsedTimer clock;
    clock.start();
    painter.paintPage({html.toUtf8(),
                       {393, 81},
                       1,
                       QFont(),
                       QPalette(),
                       QStringLiteral("text/html; charset=utf-8")},
                      96);
    // The page names its pictures in order: each is the place of that number in its list.
    for (quint32 place = 0; place < pictures.size(); ++place) {
        painter.addPicture({pictures[place].bytes, {{place, {16, 16}}}});
    }
    painter.finish();
    bool wrong = false;
    qint64 last = 0;
    for (std::size_t answer = 0; answer <= pictures.size(); ++answer) {
        if (answers.size() <= qsizetype(answer) && !answers.wait(125'000)) {
            return failed(failures.isEmpty() ? "no answer in time" : "the painter failed") ? 1 : 0;
        }
        const auto painted = answers.at(qsizetype(answer)).at(0).value<PaintAnswer>();
        std::printf("answer %zu after %lld ms\n", answer, clock.elapsed() - last);
        last = clock.elapsed();
        if (answer == 0) {
            wrong |= !painted && failed("the page was not painted");
            if (!painted) continue;
            wrong |= !painted->text.contains(QStringLiteral("定时关机")) && failed("no text");
            wrong |= (painted->anchors.size() != 1 ||
                      painted->anchors[0].href != QStringLiteral("http://zeravan.example/a")) &&
                     failed("not the link's area");
            wrong |= pixelsNear(painted->image, QColor(0xff, 0xf4, 0xc0)) < 393 * 81 / 2 &&
                     failed("not the page's background");
            continue;
        }
        const Picture& picture = pictures[answer - 1];
        std::printf("  %s: %s\n", picture.name, painted ? "shown" : "dropped");
        if (!picture.colour.isValid()) {
            wrong |= painted && failed("a picture it must not show was shown");
        } else {
            wrong |= (!painted || pixelsNear(painted->image, picture.colour) < 16 * 16) &&
                     failed("a picture was not shown");
        }
    }
    return wrong ? 1 : 0;
}
