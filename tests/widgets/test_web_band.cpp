// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include <QDir>
#include <QSignalSpy>
#include <QTest>

#include "harness.h"
#include "local_http_server.h"
#include "pixels.h"
#include "platform/web_band_view.h"

using namespace zeravan;
using zeravan::test::Harness;
using zeravan::test::pixelsWhere;

namespace {

// The main window with the real web panel in its band, on the test's own network access.
struct WindowWithRealPanel {
    test::FakeLinkOpener links;
    platform::WebBandView* panel = nullptr;
    Harness h{{{2026, 12, 7}, {12, 0, 0}}, [this](QWidget* frame) {
                  panel =
                      new platform::WebBandView(links, QStringLiteral(ZERAVAN_PAGE_PAINTER), frame);
                  return panel;
              }};

    // Shows the window and the page at that address in its band.
    bool showPage(const QUrl& address) {
        h.form1().Show();
        QSignalSpy shown(panel, &platform::WebBandView::pageShown);
        panel->Navigate(address);
        if (!shown.wait(5000)) return false;
        h.run(100);
        return true;
    }
};

// Saves a grab of the window under shots/ in the test's folder, for people to look at.
bool saveShot(const QImage& shot, const QString& name) {
    const QString shots = QDir::current().absoluteFilePath(QStringLiteral("shots"));
    QDir().mkpath(shots);
    return shot.save(shots + QLatin1Char('/') + name);
}

}  // namespace

// The real web panel in the main window's bottom band, fed by a local server.
class WebBandTest : public QObject {
    Q_OBJECT
private slots:
    void pageShowsInTheDesignedBand();
    void ownPageWhenThePageCannotCome();
    void linksOfThePageOpenInTheBrowser_data();
    void linksOfThePageOpenInTheBrowser();
};

void WebBandTest::pageShowsInTheDesignedBand() {
    test::LocalHttpServer server;
    server.answer("/panel.html",
                  {200, "text/html; charset=utf-8",
                   "<body style=\"background:#fff4c0\"><p>&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;"
                   "Zeravan 本地测试页 · local test page</p></body>"});
    WindowWithRealPanel window;
    MainWindowForm& form = window.h.form1();
    platform::WebBandView* panel = window.panel;
    QVERIFY(window.showPage(server.url("/panel.html")));

    // The band shows 393 x 81 pixels of the panel, from its 13th column and 10th row on, and
    // that is the page's viewport.
    QCOMPARE(form.Frame2->geometry(), QRect(0, 168, 393, 81));
    QCOMPARE(panel->mapTo(&form, QPoint(13, 10)), QPoint(0, 168));
    QCOMPARE(panel->browser().geometry(), QRect(13, 10, 393, 81));
    const QImage shot = form.grab().toImage();
    QCOMPARE(shot.size(), QSize(388, 249));
    QCOMPARE(shot.pixelColor(200, 240), QColor(0xff, 0xf4, 0xc0));
    QCOMPARE(shot.pixelColor(200, 160) == QColor(0xff, 0xf4, 0xc0), false);
    QVERIFY(saveShot(shot, QStringLiteral("web_band.png")));
}

// The band shows the program's own page in the window's grey, never a blank stripe; which
// failures lead there is test_page_view's table.
void WebBandTest::ownPageWhenThePageCannotCome() {
    test::LocalHttpServer server;
    server.answer("/panel.html", {404, "text/html", "<body bgcolor=\"#ffffff\">error</body>"});
    WindowWithRealPanel window;
    MainWindowForm& form = window.h.form1();
    platform::WebBandView* panel = window.panel;
    QSignalSpy failed(panel, &platform::WebBandView::pageFailed);
    panel->Navigate(server.url("/panel.html"));
    form.Show();
    QVERIFY(failed.wait(5000));
    QCOMPARE(server.requests, QStringList({"/panel.html"}));
    window.h.run(100);

    const QString text = panel->browser().toPlainText();
    QVERIFY(text.contains(QStringLiteral("Zeravan 定时关机")));
    QVERIFY(text.contains(QStringLiteral("按“确 定”")));
    const QImage shot = form.grab().toImage();
    QVERIFY(saveShot(shot, QStringLiteral("web_band_own_page.png")));
    const QColor grey(192, 192, 192);
    QCOMPARE(shot.pixelColor(4, 245), grey);
    QCOMPARE(shot.pixelColor(380, 245), grey);
    // Both lines are drawn: blue for the name, dark for the line on how to use it.
    const QImage band = shot.copy(0, 168, 388, 81);
    const qsizetype blue = pixelsWhere(band, [](const QColor& pixel) {
                               return pixel.blue() > 180 && pixel.red() < 90;
                           }).size();
    const qsizetype dark =
        pixelsWhere(band, [](const QColor& pixel) { return pixel.lightness() < 110; }).size();
    QVERIFY2(blue > 40, qPrintable(QString::number(blue)));
    QVERIFY2(dark > 150, qPrintable(QString::number(dark)));
}

void WebBandTest::linksOfThePageOpenInTheBrowser_data() {
    QTest::addColumn<QString>("href");
    QTest::addColumn<QString>("opens");    // the address opened, "@SITE@" the page's site; or none
    QTest::addColumn<bool>("byKeyboard");  // reached with Tab and Shift+Tab, opened with Enter
    QTest::newRow("https") << "https://zeravan.example/a"
                           << "https://zeravan.example/a" << false;
    QTest::newRow("http") << "http://zeravan.example/b"
                          << "http://zeravan.example/b" << false;
    QTest::newRow("from the root") << "/rel?x=1"
                                   << "@SITE@/rel?x=1" << false;
    QTest::newRow("beside the page") << "other.html"
                                     << "@SITE@/site/other.html" << false;
    QTest::newRow("up a folder") << "../up.html#top"
                                 << "@SITE@/up.html#top" << false;
    QTest::newRow("another site, same scheme") << "//zeravan.example/x"
                                               << "http://zeravan.example/x" << false;
    QTest::newRow("local file") << "file:///etc/passwd" << QString() << false;
    QTest::newRow("script") << "javascript:alert(1)" << QString() << false;
    QTest::newRow("mail") << "mailto:someone@zeravan.example" << QString() << false;
    QTest::newRow("by keyboard") << "other.html"
                                 << "@SITE@/site/other.html" << true;
}

// The link is clicked in the band as a user clicks it, after a click beside it that opens
// nothing, or reached with the keyboard; the page itself never navigates.
void WebBandTest::linksOfThePageOpenInTheBrowser() {
    QFETCH(QString, href);
    QFETCH(QString, opens);
    QFETCH(bool, byKeyboard);
    test::LocalHttpServer server;
    server.answer("/site/panel.html", {200, "text/html",
                                       "<p>Zeravan <a href=\"" + href.toUtf8() +
                                           "\">链接 link</a></p><p><a href=\"/2\">第二</a></p>"});
    WindowWithRealPanel window;
    QVERIFY(window.showPage(server.url("/site/panel.html")));

    // The link is the page's topmost blue; it is clicked where it is painted.
    const QList<QPoint> blue = pixelsWhere(window.panel->grab().toImage(), [](const QColor& pixel) {
        return pixel.blue() > pixel.red() + 80;
    });
    QVERIFY(!blue.isEmpty());
    const QPoint onLink = blue.first();
    QWidget* page = window.panel->childAt(onLink);
    QVERIFY(page != nullptr);
    if (byKeyboard) {
        // From the day choice into the band, on to its second link and out of it; Shift+Tab
        // comes back in on the last link, and once more to the first. A dotted mark shows.
        const auto marked = [page] {
            const QColor mark = page->palette().color(QPalette::Highlight);
            return pixelsWhere(page->grab().toImage(),
                               [mark](const QColor& pixel) { return pixel == mark; })
                .size();
        };
        QVERIFY(QTest::qWaitForWindowActive(&window.h.form1()));
        window.h.form1().Combo1->setFocus();
        QCOMPARE(marked(), 0);
        const QList<QPair<int, bool>> steps{{Qt::Key_Tab, true},     {Qt::Key_Tab, true},
                                            {Qt::Key_Tab, false},    {Qt::Key_Backtab, true},
                                            {Qt::Key_Backtab, true}, {Qt::Key_Return, true}};
        for (const auto& [key, inBand] : steps) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
            QCOMPARE(QApplication::focusWidget() == page, inBand);
        }
        QVERIFY(marked() > 10);
    } else {
        const QPoint link = page->mapFrom(window.panel, onLink);
        const QPoint beside(2, link.y());
        QTest::mouseMove(page, beside);
        QTest::mouseClick(page, Qt::LeftButton, {}, beside);
        QCOMPARE(window.links.opened, QList<QUrl>());
        QTest::mouseMove(page, link);
        if (!opens.isEmpty()) QTRY_COMPARE(page->cursor().shape(), Qt::PointingHandCursor);
        QTest::mouseClick(page, Qt::LeftButton, {}, link);
    }
    const QString site = server.url(QString()).toString(QUrl::RemovePath);
    const QList<QUrl> expected =
        opens.isEmpty() ? QList<QUrl>{} : QList<QUrl>{QUrl(QString(opens).replace("@SITE@", site))};
    QCOMPARE(window.links.opened, expected);
    QCOMPARE(server.requests, QStringList({"/site/panel.html"}));
}

QTEST_MAIN(WebBandTest)
#include "test_web_band.moc"
