// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include "local_bait.h"
#include "local_http_server.h"
#include "platform/page_view_text.h"

using namespace zeravan;
using platform::TextPageView;
using test::LocalHttpServer;

namespace {

class RecordingOpener final : public platform::LinkOpener {
public:
    QList<QUrl> opened;
    void open(const QUrl& address) override { opened << address; }
};

QByteArray pngOf(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray pngOf(const QColor& colour, QSize size = {8, 8}) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return pngOf(image);
}

// Small on the wire, 25 million pixels once decoded.
QByteArray hugeGreenPng() {
    QImage image(5000, 5000, QImage::Format_Mono);
    image.setColorTable({qRgb(0, 255, 0), qRgb(0, 255, 0)});
    image.fill(0);
    return pngOf(image);
}

// A noisy green picture, about 100 KB as a data: address.
QByteArray bigDataAddress() {
    QImage image(300, 300, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(0, 128 + (x * y * 7919) % 128, 0));
    }
    return "data:image/png;base64," + pngOf(image).toBase64();
}

// The process's resident memory, now or at its peak since resetPeakResident().
qint64 residentKb(const QByteArray& field = "VmRSS:") {
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith(field)) {
            return line.mid(field.size()).trimmed().split(' ').value(0).toLongLong();
        }
    }
    return -1;
}

void resetPeakResident() {
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    clearRefs.open(QIODevice::WriteOnly);
    clearRefs.write("5");
}

// Pixels that are not a shade of grey: a picture, or colour from a style sheet.
int colouredPixels(const QImage& shot) {
    int coloured = 0;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            const QColor pixel = shot.pixelColor(x, y);
            coloured += pixel.red() != pixel.green() || pixel.green() != pixel.blue() ? 1 : 0;
        }
    }
    return coloured;
}

int pixelsOf(const QImage& shot, const QColor& colour) {
    int count = 0;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) count += shot.pixelColor(x, y) == colour ? 1 : 0;
    }
    return count;
}

const QString ownPage = QStringLiteral("<p>Zeravan 自己的页</p>");

}  // namespace

class PageViewTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void showsTheServedPageWithItsImages();
    void failedPageLeavesTheOwnPage_data();
    void failedPageLeavesTheOwnPage();
    void fetchWaitsUntilThePanelIsOnScreen();
    void noBorderAndNoScrollBars();
    void linksInsideOpenInTheBrowser_data();
    void linksInsideOpenInTheBrowser();
    void hostilePages_data();
    void hostilePages();
};

// The first page loads the network stack, the Chinese font and the picture decoders for the
// process; memory is measured against what the program holds once that is done.
void PageViewTest::initTestCase() {
    LocalHttpServer server;
    server.answer("/p.html",
                  {200, "text/html; charset=utf-8", "<p>定时关机</p><img src=\"dot.png\">"});
    server.answer("/dot.png", {200, "image/png", pngOf(Qt::red)});
    QNetworkAccessManager network;
    RecordingOpener links;
    TextPageView panel(network, links);
    panel.setOwnPage(ownPage);
    panel.show();
    QSignalSpy image(&panel, &TextPageView::imageShown);
    panel.Navigate(server.url("/p.html"));
    QVERIFY(image.wait(5000));
    panel.grab();
}

// Pictures of the page's own site and small data: addresses, each kept at the size shown.
void PageViewTest::showsTheServedPageWithItsImages() {
    LocalHttpServer server;
    server.answer(
        "/zeravan/panel.html",
        {200, "text/html; charset=utf-8",
         "<html><body><p>定时关机 panel</p><img src=\"dot.png\">"
         "<img src=\"/zeravan/wide.png\" width=\"40\" height=\"20\"><img src=\"data:image/"
         "png;base64," +
             pngOf(Qt::yellow, {4, 4}).toBase64() + "\"></body></html>"});
    server.answer("/zeravan/dot.png", {200, "image/png", pngOf(Qt::red)});
    server.answer("/zeravan/wide.png", {200, "image/png", pngOf(Qt::blue, {1000, 500})});
    QNetworkAccessManager network;
    RecordingOpener links;
    TextPageView panel(network, links);
    panel.setOwnPage(ownPage);
    panel.resize(393, 81);
    panel.show();
    QSignalSpy shown(&panel, &TextPageView::pageShown);
    QSignalSpy image(&panel, &TextPageView::imageShown);
    panel.Navigate(server.url("/zeravan/panel.html"));
    QVERIFY(shown.wait(5000));
    QVERIFY(panel.browser().toPlainText().contains(QStringLiteral("定时关机 panel")));
    QVERIFY(!panel.browser().toPlainText().contains(QStringLiteral("自己的页")));
    QTRY_COMPARE(image.size(), 3);
    const QImage shot = panel.grab().toImage();
    QCOMPARE(pixelsOf(shot, Qt::red), 8 * 8);
    QCOMPARE(pixelsOf(shot, Qt::blue), 40 * 20);
    QCOMPARE(pixelsOf(shot, Qt::yellow), 4 * 4);
    const QVariant wide = panel.browser().document()->resource(
        QTextDocument::ImageResource, QUrl(QString::fromStdString(platform::pageImageName(1))));
    QCOMPARE(wide.value<QPixmap>().size(), QSize(40, 20));
    server.requests.sort();
    QCOMPARE(server.requests,
             QStringList({"/zeravan/dot.png", "/zeravan/panel.html", "/zeravan/wide.png"}));
}

void PageViewTest::failedPageLeavesTheOwnPage_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<bool>("nameless");
    QTest::newRow("404") << "/missing.html" << false << false;
    QTest::newRow("server error") << "/error.html" << false << false;
    QTest::newRow("not html") << "/plain.txt" << false << false;
    QTest::newRow("oversized body") << "/huge.html" << false << false;
    QTest::newRow("never answers") << "/hang.html" << false << false;
    QTest::newRow("connection refused") << "/panel.html" << true << false;
    QTest::newRow("name that leads nowhere") << "/panel.html" << false << true;
}

void PageViewTest::failedPageLeavesTheOwnPage() {
    QFETCH(QString, path);
    QFETCH(bool, refused);
    QFETCH(bool, nameless);
    LocalHttpServer server;
    server.answer("/error.html", {500, "text/html", "<p>error page</p>"});
    server.answer("/plain.txt", {200, "text/plain", "<p>plain</p>"});
    server.answer("/huge.html",
                  {200, "text/html", "<p>" + QByteArray(2 * TextPageView::maxPageBytes, 'x')});
    server.answer("/hang.html", {200, "text/html", {}, true});
    QUrl address = server.url(path);
    if (refused) {
        QTcpServer closed;
        closed.listen(QHostAddress::LocalHost);
        address.setPort(closed.serverPort());
    }
    if (nameless) address.setHost(QStringLiteral("zeravan.invalid"));
    QNetworkAccessManager network;
    RecordingOpener links;
    TextPageView panel(network, links, nullptr, 1500);
    panel.setOwnPage(ownPage);
    panel.show();
    QSignalSpy failed(&panel, &TextPageView::pageFailed);
    int ticks = 0;
    QTimer tick;
    connect(&tick, &QTimer::timeout, [&ticks] { ++ticks; });
    tick.start(100);
    panel.Navigate(address);
    QVERIFY(failed.wait(8000));
    QCOMPARE(panel.browser().toPlainText(), QStringLiteral("Zeravan 自己的页"));
    const int ticksAtFailure = ticks;
    QTest::qWait(350);
    QVERIFY(ticks - ticksAtFailure >= 2);
    QVERIFY(server.requests.size() <= 1);
}

// Nothing goes out to the network before the panel has been painted on screen; its own page is
// there from the start.
void PageViewTest::fetchWaitsUntilThePanelIsOnScreen() {
    LocalHttpServer server;
    server.answer("/panel.html", {200, "text/html", "<p>the maker's page</p>"});
    QNetworkAccessManager network;
    RecordingOpener links;
    TextPageView panel(network, links);
    panel.setOwnPage(ownPage);
    QSignalSpy shown(&panel, &TextPageView::pageShown);
    panel.Navigate(server.url("/panel.html"));
    QCOMPARE(panel.browser().toPlainText(), QStringLiteral("Zeravan 自己的页"));
    QTest::qWait(500);
    QCOMPARE(server.requests, QStringList());
    panel.show();
    QVERIFY(shown.wait(5000));
    QCOMPARE(server.requests, QStringList({"/panel.html"}));
    QCOMPARE(panel.browser().toPlainText(), QStringLiteral("the maker's page"));
}

void PageViewTest::noBorderAndNoScrollBars() {
    QNetworkAccessManager network;
    RecordingOpener links;
    TextPageView panel(network, links);
    panel.resize(433, 113);
    panel.setContentsMargins(13, 10, 27, 22);
    panel.show();
    QCOMPARE(panel.browser().frameShape(), QFrame::NoFrame);
    QCOMPARE(panel.browser().verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(panel.browser().horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(panel.browser().geometry(), QRect(13, 10, 393, 81));
}

void PageViewTest::linksInsideOpenInTheBrowser_data() {
    QTest::addColumn<QUrl>("link");
    QTest::addColumn<bool>("opens");
    QTest::newRow("http") << QUrl("http://zeravan.example/a") << true;
    QTest::newRow("https") << QUrl("https://zeravan.example/b") << true;
    QTest::newRow("file") << QUrl("file:///etc/passwd") << false;
    QTest::newRow("javascript") << QUrl("javascript:alert(1)") << false;
    QTest::newRow("mailto") << QUrl("mailto:someone@zeravan.example") << false;
}

void PageViewTest::linksInsideOpenInTheBrowser() {
    QFETCH(QUrl, link);
    QFETCH(bool, opens);
    QNetworkAccessManager network;
    RecordingOpener links;
    TextPageView panel(network, links);
    emit panel.browser().anchorClicked(link);
    QCOMPARE(links.opened, opens ? QList<QUrl>{link} : QList<QUrl>{});
    QVERIFY(panel.browser().source().isEmpty());  // the panel itself never navigates
}

void PageViewTest::hostilePages_data() {
    // In a page, @BAIT@ stands for the folder of local bait and @OTHER@ for another site.
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<int>("dripMs");
    QTest::addColumn<QString>("shows");  // text of the page shown, or empty for the own page
    const QByteArray white = "<body bgcolor=\"#ffffff\"><p>page</p>";
    const auto row = [&](const char* tag, const QByteArray& body) {
        QTest::newRow(tag) << white + body << QByteArray("text/html") << 0
                           << QStringLiteral("page");
    };
    row("file address",
        "<img src=\"file://@BAIT@/bait.png\">"
        "<img src=\"file://@BAIT@/bait.png\" width=\"40\" height=\"40\">");
    row("absolute path", "<img src=\"@BAIT@/bait.png\">");
    row("relative path", "<img src=\"bait.png\"><img src=\"./bait.pipe\">");
    row("qrc",
        "<img src=\"qrc:/qt-project.org/styles/commonstyle/images/standardbutton-cancel-128.png\">"
        "<img src=\":/qt-project.org/styles/commonstyle/images/standardbutton-cancel-128.png\">");
    row("background pictures",
        "<table background=\"file://@BAIT@/bait.png\"><tr><td background=\"@BAIT@/bait.png\">cell"
        "</td></tr></table><p style=\"background-image: url(file://@BAIT@/bait.png)\">styled</p>");
    row("style sheets",
        "<link rel=\"stylesheet\" type=\"text/css\" href=\"file://@BAIT@/bait.css\">"
        "<style>@import url(\"@BAIT@/bait.css\");</style><p>styled</p>");
    row("big data address", "<img src=\"" + bigDataAddress() + "\">");
    row("dev zero",
        "<img src=\"file:///dev/zero\"><img src=\"/dev/zero\" width=\"9\" height=\"9\">"
        "<p style=\"background-image: url(/dev/zero)\">styled</p>");
    row("named pipe", "<img src=\"file://@BAIT@/bait.pipe\">");
    QByteArray huge;
    for (int i = 0; i < 16; ++i) huge += "<img src=\"/huge" + QByteArray::number(i) + ".png\">";
    row("huge pictures", huge);
    row("picture from another site", "<img src=\"@OTHER@/green.png\">");
    row("picture moved to another site", "<img src=\"/moved.png\">");
    QTest::newRow("3000 nested tables")
        << "<p>page</p>" + QByteArray("<table><tr><td>").repeated(3000) + "deep"
        << QByteArray("text/html") << 0 << QString();
    QTest::newRow("60000 nested divs")
        << "<p>page</p>" + QByteArray("<div>").repeated(60000) + "deep" << QByteArray("text/html")
        << 0 << QString();
    QTest::newRow("slow drip") << white + QByteArray(200, ' ') << QByteArray("text/html") << 500
                               << QString();
    const QByteArray shutdownInGbk = "\xb6\xa8\xca\xb1\xb9\xd8\xbb\xfa";  // 定时关机
    QTest::newRow("gbk in meta charset")
        << "<html><head><meta charset=\"gbk\"></head><body>" + shutdownInGbk
        << QByteArray("text/html") << 0 << QStringLiteral("定时关机");
    QTest::newRow("gb2312 in http-equiv")
        << "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=GB2312\"><p>" +
               shutdownInGbk
        << QByteArray("text/html") << 0 << QStringLiteral("定时关机");
}

// Whatever the page: the band opens no local file, shows no picture or colour it was not meant
// to, keeps to its memory, and the window keeps answering.
void PageViewTest::hostilePages() {
    QFETCH(QByteArray, page);
    QFETCH(QByteArray, contentType);
    QFETCH(int, dripMs);
    QFETCH(QString, shows);
    constexpr int deadlineMs = 2000;
    test::LocalBait bait;
    LocalHttpServer server;
    LocalHttpServer other;
    other.answer("/green.png", {200, "image/png", pngOf(QColor(0, 255, 0))});
    page.replace("@BAIT@", QFile::encodeName(bait.path()));
    page.replace("@OTHER@", other.url(QString()).toEncoded());
    server.answer("/p.html", {200, contentType, page, false, dripMs});
    server.answer("/moved.png",
                  {302, "text/html", {}, false, 0, other.url("/green.png").toEncoded()});
    const QByteArray huge = hugeGreenPng();
    for (int i = 0; i < 16; ++i)
        server.answer(QStringLiteral("/huge%1.png").arg(i), {200, "image/png", huge});
    const QString startFolder = QDir::currentPath();
    QDir::setCurrent(bait.path());

    QNetworkAccessManager network;
    RecordingOpener links;
    TextPageView panel(network, links, nullptr, deadlineMs);
    panel.setOwnPage(ownPage);
    panel.resize(393, 81);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    QSignalSpy shown(&panel, &TextPageView::pageShown);
    QSignalSpy failed(&panel, &TextPageView::pageFailed);
    QElapsedTimer sinceTick;
    qint64 longestGap = 0;
    QTimer tick;
    connect(&tick, &QTimer::timeout, [&] { longestGap = qMax(longestGap, sinceTick.restart()); });
    resetPeakResident();
    const qint64 residentBefore = residentKb();
    sinceTick.start();
    tick.start(20);
    panel.Navigate(server.url("/p.html"));
    QTRY_VERIFY_WITH_TIMEOUT(shown.size() + failed.size() > 0, deadlineMs + 3000);
    QTest::qWait(deadlineMs);  // past the deadline nothing more comes
    tick.stop();
    QDir::setCurrent(startFolder);

    QCOMPARE(bait.opened(), QStringList());
    if (shows.isEmpty()) {
        QCOMPARE(failed.size(), 1);
        QCOMPARE(panel.browser().toPlainText(), QStringLiteral("Zeravan 自己的页"));
    } else {
        QCOMPARE(shown.size(), 1);
        QVERIFY2(panel.browser().toPlainText().contains(shows),
                 qPrintable(panel.browser().toPlainText()));
    }
    QCOMPARE(colouredPixels(panel.grab().toImage()), 0);
    QCOMPARE(other.requests, QStringList());
    QVERIFY(server.requests.filter(QStringLiteral("/huge")).size() <= 8);
    const qint64 peakGrowthKb = residentKb("VmHWM:") - residentBefore;
    QVERIFY2(peakGrowthKb < 4 * 1024,
             qPrintable(QStringLiteral("grew by %1 KB").arg(peakGrowthKb)));
    QVERIFY2(longestGap < 500, qPrintable(QStringLiteral("no tick for %1 ms").arg(longestGap)));
}

QTEST_MAIN(PageViewTest)
#include "test_page_view.moc"
