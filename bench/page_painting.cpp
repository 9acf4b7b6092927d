// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// bench_page_painting <zeravan-page-painter>: what laying out and painting the web band's page
// costs on a thread of the window's process, and in the page painter's process, for an ordinary
// page and for one that no band should lay out (700,000 newlines in a <pre>). For each: the time
// to the painted page, the memory taken, the window thread's longest pause, and whether the
// work could be ended. The thread is given 10 s; then the process leaves it running and ends.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>
#include <QSignalSpy>
#include <QTextDocument>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <cstdio>

#include "platform/page_painter.h"
#include "process_memory.h"

using namespace zeravan::platform;
using zeravan::test::childrenPeakKb;
using zeravan::test::residentKb;

namespace {

// The window's thread meanwhile: its longest pause between 20 ms ticks, and the painter's peak.
struct Watch {
    QElapsedTimer sinceTick;
    qint64 longestPause = 0;
    qint64 childPeakKb = 0;
    QTimer tick;
    Watch() {
        sinceTick.start();
        QObject::connect(&tick, &QTimer::timeout, [this] {
            longestPause = qMax(longestPause, sinceTick.restart());
            childPeakKb = qMax(childPeakKb, childrenPeakKb());
        });
        tick.start(20);
    }
};

void onThread(const char* name, const QString& html) {
    const qint64 before = residentKb();
    std::atomic<bool> done = false;
    QElapsedTimer clock;
    clock.start();
    QThread* thread = QThread::create([html, &done] {
        QTextDocument document;
        document.setHtml(html);
        document.setTextWidth(393);
        QImage image(393, 81, QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&image);
        document.drawContents(&painter);
        done = true;
    });
    thread->start();
    Watch watch;
    while (!done && clock.elapsed() < 10'000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    std::printf(
        "%-9s thread : %s after %5lld ms, the process grew by %7lld KB, window's longest "
        "pause %lld ms%s\n",
        name, done ? "painted" : "still at work", clock.elapsed(), residentKb("VmHWM:") - before,
        watch.longestPause, done ? "" : "; a thread cannot be ended");
}

void inPainter(const char* name, const QString& program, const QString& html) {
    PagePainter painter(program, nullptr);
    QSignalSpy answered(&painter, &PagePainter::answered);
    QSignalSpy failed(&painter, &PagePainter::failed);
    Watch watch;
    QElapsedTimer clock;
    clock.start();
    painter.paintPage({html.toUtf8(),
                       {393, 81},
                       1,
                       QFont(),
                       QPalette(),
                       QStringLiteral("text/html; charset=utf-8")},
                      96);
    while (answered.isEmpty() && failed.isEmpty())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    std::printf(
        "%-9s painter: %s after %5lld ms, the painter's peak %7lld KB, window's longest "
        "pause %lld ms\n",
        name, answered.isEmpty() ? "ended" : "painted", clock.elapsed(), watch.childPeakKb,
        watch.longestPause);
}

}  // namespace

int main(int argc, char* argv[]) {
    const QGuiApplication application(argc, argv);
    if (argc != 2) return 2;
    const QString program = QString::fromLocal8Bit(argv[1]);
    const QString ordinary =
        QStringLiteral(
            "<body bgcolor=\"#fff4c0\"><p>定时关机 <a "
            "href=\"http://zeravan.example/\">Zeravan</a></p>"
            "<table border=\"1\"><tr><td>一</td><td>二</td></tr></table><p>%1</p></body>")
            .arg(QStringLiteral("每天 ").repeated(400));
    const QString newlines = QStringLiteral("<pre>") + QString(700'000, QLatin1Char('\n'));
    inPainter("ordinary", program, ordinary);
    onThread("ordinary", ordinary);
    inPainter("newlines", program, newlines);
    onThread("newlines", newlines);
    std::fflush(stdout);
    std::_Exit(0);  // the thread may still be laying the page out
}
