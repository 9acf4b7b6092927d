// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include <QBuffer>
#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include "platform/page_view_text.h"
#include "tests/support/local_http_server.h"

using namespace zeravan;
using platform::TextPageView;
using test::LocalHttpServer;

namespace {

class RecordingOpener final : public platform::LinkOpener {
public:
    QList<QUrl> opened;
    void open(const QUrl& address) override { opened << address; }
};

QByteArray pngOf(const QColor& colour) {
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    image.save(&buffer, "PNG");
    return bytes;
}

const QString ownPage = QStringLiteral("<p>Zeravan 自己的页</p>");

}  // namespace

class PageViewTest : public QObject {
    Q_OBJECT
private slots:
    void showsTheServedPageWithItsImages();
    void failedPageLeavesTheOwnPage_data();
    void failedPageLeavesTheOwnPage();
    void fetchWaitsUntilThePanelIsOnScreen();
    void noBorderAndNoScrollBars();
    void linksInsideOpenInTheBrowser_data();
    void linksInsideOpenInTheBrowser();
    void neverReadsLocalFiles();
};

void PageViewTest::showsTheServedPageWithItsImages() {
    LocalHttpServer server;
    server.answer("/zeravan/panel.html",
                  {200, "text/html; charset=utf-8",
                   "<html><body><p>定时关机 panel</p><img src=\"dot.png\"></body></html>"});
    server.answer("/zeravan/dot.png", {200, "image/png", pngOf(Qt::red)});
    QNetworkAccessManager network;
    RecordingOpener links;
    TextPageView panel(network, links);
    panel.setOwnPage(ownPage);
    panel.show();
    QSignalSpy shown(&panel, &TextPageView::pageShown);
    QSignalSpy image(&panel, &TextPageView::imageShown);
    panel.Navigate(server.url("/zeravan/panel.html"));
    QVERIFY(shown.wait(5000));
    QVERIFY(panel.browser().toPlainText().contains(QStringLiteral("定时关机 panel")));
    QVERIFY(!panel.browser().toPlainText().contains(QStringLiteral("自己的页")));
    QVERIFY(image.wait(5000));
    const QVariant resource =
        panel.browser().document()->resource(QTextDocument::ImageResource, QUrl("dot.png"));
    QCOMPARE(resource.value<QImage>().pixelColor(0, 0), QColor(Qt::red));
    QCOMPARE(server.requests, QStringList({"/zeravan/panel.html", "/zeravan/dot.png"}));
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

void PageViewTest::neverReadsLocalFiles() {
    LocalHttpServer server;
    server.answer("/p.html", {200, "text/html",
                              "<p>x</p><img src=\"file:///usr/share/pixmaps/"
                              "debian-logo.png\"><img src=\"/missing.png\">"});
    QNetworkAccessManager network;
    RecordingOpener links;
    TextPageView panel(network, links);
    panel.show();
    QSignalSpy shown(&panel, &TextPageView::pageShown);
    panel.Navigate(server.url("/p.html"));
    QVERIFY(shown.wait(5000));
    QTRY_COMPARE(server.requests, QStringList({"/p.html", "/missing.png"}));
    QCOMPARE(panel.browser().loadResource(QTextDocument::ImageResource,
                                          QUrl("file:///usr/share/pixmaps/debian-logo.png")),
             QVariant());
}

QTEST_MAIN(PageViewTest)
#include "test_page_view.moc"
