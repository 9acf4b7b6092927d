// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include <fcntl.h>
#include <linux/landlock.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QtEndian>

#include "fake_link_opener.h"
#include "local_bait.h"
#include "local_http_server.h"
#include "pixels.h"
#include "platform/page_painter.h"
#include "platform/web_band_view.h"
#include "process_memory.h"

using namespace zeravan;
using platform::PagePainter;
using platform::WebBandView;
using test::childrenPeakKb;
using test::FakeLinkOpener;
using test::LocalHttpServer;
using test::pixelsWhere;
using test::resetPeakResident;
using test::residentKb;

namespace {

QByteArray pngOf(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray encoded(const QColor& colour, const char* format, QSize size = {8, 8}) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QImageWriter(&buffer, format).write(image);
    return bytes;
}

QByteArray pngOf(const QColor& colour, QSize size = {8, 8}) {
    return encoded(colour, "png", size);
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

// A PNG chunk: its length, type, data and the CRC-32 of type and data.
QByteArray pngChunk(const QByteArray& type, const QByteArray& data) {
    quint32 crc = 0xffffffff;
    for (const char byte : type + data) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xedb88320 & (0U - (crc & 1)));
    }
    QByteArray chunk;
    QDataStream out(&chunk, QIODevice::WriteOnly);
    out << quint32(data.size());
    out.writeRawData(type.constData(), 4);
    out.writeRawData(data.constData(), int(data.size()));
    out << ~crc;
    return chunk;
}

// A small grey PNG carrying `count` compressed text chunks, each of 7.5 MB of text.
QByteArray pngWithTextBombs(int count) {
    const QByteArray bomb = pngChunk(
        "zTXt", QByteArray("Comment\0\0", 9) + qCompress(QByteArray(7'500'000, 'a'), 9).mid(4));
    QByteArray png = pngOf(QColor(128, 128, 128), {40, 20});
    png.insert(33, bomb.repeated(count));  // after the signature and the header chunk
    return png;
}

// A green progressive JPEG whose last scan is repeated until the file is nearly 512 KB.
QByteArray jpegWithRepeatedScans() {
    QImage image(1024, 1024, QImage::Format_RGB32);
    image.fill(QColor(0, 255, 0));
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(true);
    writer.write(image);
    const qsizetype lastScan = jpeg.lastIndexOf("\xff\xda");
    const QByteArray scan = jpeg.mid(lastScan, jpeg.size() - 2 - lastScan);
    jpeg.insert(jpeg.size() - 2,
                scan.repeated((platform::maxPictureBytes - jpeg.size()) / scan.size()));
    return jpeg;
}

// 35 bytes: one green pixel on a logical screen of the given side.
QByteArray gifOfAGreenPixel(quint16 screen) {
    QByteArray gif(
        "GIF89a\0\0\0\0\x80\0\0"      // screen, two colours
        "\0\xff\0\0\xff\0"            // the colours
        "\x2c\0\0\0\0\x01\0\x01\0\0"  // a frame of 1 x 1 at 0, 0
        "\x02\x02\x44\x01\0\x3b",     // its pixel, the end
        35);
    qToLittleEndian(screen, gif.data() + 6);
    qToLittleEndian(screen, gif.data() + 8);
    return gif;
}

// An SVG picture that draws the file it names.
QByteArray svgNaming(const QByteArray& file) {
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
           "width=\"64\" height=\"64\"><image xlink:href=\"" +
           file + "\" width=\"64\" height=\"64\"/></svg>";
}

// The loopback ports this process listens on: each a socket of its own in /proc/net/tcp.
QList<quint16> ownLoopbackListeners() {
    QSet<QByteArray> sockets;
    for (const QFileInfo& fd : QDir(QStringLiteral("/proc/self/fd")).entryInfoList(QDir::System)) {
        const QString target = fd.symLinkTarget();
        if (target.contains(QLatin1String("socket:["))) {
            sockets << target.section(QLatin1Char('['), 1).chopped(1).toLatin1();
        }
    }
    QFile table(QStringLiteral("/proc/net/tcp"));
    table.open(QIODevice::ReadOnly);
    QList<quint16> ports;
    for (const QByteArray& line : table.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() > 9 && fields[1].startsWith("0100007F:") && fields[3] == "0A" &&
            sockets.contains(fields[9])) {
            ports << quint16(fields[1].mid(9).toUInt(nullptr, 16));
        }
    }
    return ports;
}

// What a SOCKS5 relay on that port answers to `greeting`, within a second.
QByteArray socksAnswer(quint16 port, const QByteArray& greeting) {
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(1000)) return {};
    socket.write(greeting);
    QByteArray answer;
    while (socket.waitForReadyRead(1000)) answer += socket.readAll();
    return answer;
}

// What no painter may be handed: the addresses of the buses, the display and the session.
const char* const windowAddresses[] = {
    "DBUS_SESSION_BUS_ADDRESS", "DBUS_SYSTEM_BUS_ADDRESS", "DISPLAY",
    "WAYLAND_DISPLAY",          "XDG_RUNTIME_DIR",         "XAUTHORITY",
    "SESSION_MANAGER"};

// The painters this process started, with what they started: the one that paints is last.
QStringList painterProcesses() {
    return test::descendants(QString::number(getpid()), "zeravan-page-p");
}

// The highest peak of these: not the debugger's that looks into them.
qint64 paintersPeakKb() {
    qint64 peak = 0;
    for (const QString& painter : painterProcesses())
        peak = qMax(peak, test::residentKb("VmHWM:", painter));
    return peak;
}

// Whether this kernel has what walls the painter in: else it says what it lacks, in the log.
bool kernelWallsPainters() {
    QFile seccomp(QStringLiteral("/proc/sys/kernel/seccomp/actions_avail"));
    QFile userSpaces(QStringLiteral("/proc/sys/user/max_user_namespaces"));
    return seccomp.open(QIODevice::ReadOnly) && seccomp.readAll().contains("kill_process") &&
           syscall(SYS_landlock_create_ruleset, nullptr, 0, LANDLOCK_CREATE_RULESET_VERSION) >= 1 &&
           userSpaces.open(QIODevice::ReadOnly) && userSpaces.readAll().trimmed() != "0";
}

// The painter as the system sees it while it waits for a picture: its environment, what it
// holds open and the namespaces it is in, and what a debugger's calls into it get: a user's file
// opened for reading fails, and a socket ends it.
void checkPainterFromOutside(const QString& userFile) {
    const QStringList painters = painterProcesses();
    QVERIFY(!painters.isEmpty());
    for (const QString& painter : painters) {
        const QString process = QStringLiteral("/proc/") + painter;
        QFile environ(process + QStringLiteral("/environ"));
        QVERIFY(environ.open(QIODevice::ReadOnly));
        const QByteArray environment = '\0' + environ.readAll();
        for (const char* address : windowAddresses)
            QVERIFY2(!environment.contains('\0' + QByteArray(address) + '='), address);
        const QDir descriptors(process + QStringLiteral("/fd"));
        for (const QFileInfo& descriptor : descriptors.entryInfoList(QDir::System)) {
            const QString target = descriptor.symLinkTarget();
            QVERIFY2(descriptor.fileName().toInt() <= 2
                         ? target.contains(QStringLiteral("pipe:"))
                         : target.contains(QStringLiteral("anon_inode:")),
                     qPrintable(descriptor.fileName() + QStringLiteral(" -> ") + target));
        }
    }
    const QString painter = painters.last();
    const auto space = [](const QString& process, const char* kind) {
        char target[64];
        const ssize_t length = readlink(
            qPrintable(QStringLiteral("/proc/%1/ns/%2").arg(process, kind)), target, sizeof target);
        return QByteArray(target, int(qMax<ssize_t>(length, 0)));
    };
    for (const char* kind : {"net", "pid"})
        QVERIFY2(space(painter, kind) != space("self", kind), kind);
    QProcess debugger;
    debugger.start(QStringLiteral("gdb"),
                   {"-nx", "-batch", "-p", painter, "-iex", "set auto-solib-add off", "-ex",
                    "sharedlibrary libc\\.so", "-ex",
                    QStringLiteral("call (int)open(\"%1\", 0)").arg(userFile), "-ex",
                    "call (int)socket(2, 1, 0)"});
    QTRY_VERIFY_WITH_TIMEOUT(debugger.state() == QProcess::NotRunning, 20000);
    const QString said = QString::fromLocal8Bit(debugger.readAll());
    QVERIFY2(said.contains(QStringLiteral("$1 = -1")), qPrintable(said));
    QVERIFY2(!said.contains(QRegularExpression(QStringLiteral("\\$2 = \\d"))), qPrintable(said));
    QTRY_VERIFY(!QFile::exists(QStringLiteral("/proc/%1/fd/0").arg(painter)));
}

const QString ownPage = QStringLiteral("<p>Zeravan 自己的页</p>");
const QString painter = QStringLiteral(ZERAVAN_PAGE_PAINTER);
// What a painter holds once it has painted a line of Chinese, and at the most: that, the page's
// 64 MB and what the page's fonts bring.
qint64 painterOwnKb = 0;
qint64 painterMaxKb() {
    return painterOwnKb + (64 + 8) * 1024;
}

}  // namespace

class PageViewTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void showsTheServedPageWithItsImages_data();
    void showsTheServedPageWithItsImages();
    void failedPageLeavesTheOwnPage_data();
    void failedPageLeavesTheOwnPage();
    void fetchWaitsUntilThePanelIsOnScreen();
    void noBorderAndNoScrollBars();
    void painterGivenUp_data();
    void painterGivenUp();
    void fetchRelayServesTheBandAlone();
    // Each group of hostile pages is a ctest entry of its own (CMakeLists.txt), run side by side.
    void pagesNamingLocalFiles_data();
    void pagesNamingLocalFiles();
    void hostilePictures_data();
    void hostilePictures();
    void hostileMarkup_data();
    void hostileMarkup();

private:
    void checkHostilePage();
};

// The first page loads the network stack, the Chinese font and the picture decoders for the
// process; memory is measured against what the program holds once that is done. The painter's
// is measured against one that has painted that page.
void PageViewTest::initTestCase() {
    LocalHttpServer server;
    server.answer("/p.html",
                  {200, "text/html; charset=utf-8", "<p>定时关机</p><img src=\"dot.png\">"});
    server.answer("/dot.png", {200, "image/png", pngOf(Qt::red)});
    FakeLinkOpener links;
    WebBandView panel(links, painter);
    panel.setOwnPage(ownPage);
    panel.show();
    QSignalSpy image(&panel, &WebBandView::imageShown);
    panel.Navigate(server.url("/p.html"));
    QVERIFY(image.wait(5000));
    panel.grab();
    PagePainter alone(painter, nullptr);  // it waits for pictures until it is ended
    QSignalSpy answered(&alone, &PagePainter::answered);
    alone.paintPage({"<p>定时关机</p>", {393, 81}, 1, QFont(), QPalette(), "text/html"}, 96);
    QVERIFY(answered.wait(5000));
    painterOwnKb = childrenPeakKb();
    qInfo("a painter holds %lld KB", painterOwnKb);
}

void PageViewTest::showsTheServedPageWithItsImages_data() {
    QTest::addColumn<QByteArray>("picture");  // the page's <img>, which names "picture" if served
    QTest::addColumn<QByteArray>("format");   // of the picture served, if any
    QTest::addColumn<QByteArray>("served");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<int>("pixels");  // shown in that colour
    const auto served = [](const char* tag, const char* format, const QColor& colour) {
        QTest::newRow(tag) << QByteArray("<img src=\"picture\">") << QByteArray(format)
                           << encoded(colour, format) << colour << 8 * 8;
    };
    served("png", "png", Qt::red);
    served("jpeg", "jpeg", Qt::blue);
    served("bmp", "bmp", Qt::cyan);
    served("ico", "ico", Qt::yellow);
    QTest::newRow("png at the size shown")
        << QByteArray("<img src=\"/zeravan/picture\" width=\"40\" height=\"20\">")
        << QByteArray("png") << pngOf(Qt::blue, {1000, 500}) << QColor(Qt::blue) << 40 * 20;
    QTest::newRow("png in a data address")
        << "<img src=\"data:image/png;base64," + pngOf(Qt::yellow, {4, 4}).toBase64() + "\">"
        << QByteArray() << QByteArray() << QColor(Qt::yellow) << 4 * 4;
    QTest::newRow("gif in a data address")
        << "<img width=\"6\" height=\"6\" src=\"data:image/gif;base64," +
               gifOfAGreenPixel(1).toBase64() + "\">"
        << QByteArray() << QByteArray() << QColor(0, 255, 0) << 6 * 6;
}

// Pictures of the page's own site and small data: addresses, each kept at the size shown.
void PageViewTest::showsTheServedPageWithItsImages() {
    QFETCH(QByteArray, picture);
    QFETCH(QByteArray, format);
    QFETCH(QByteArray, served);
    QFETCH(QColor, colour);
    QFETCH(int, pixels);
    LocalHttpServer server;
    server.answer("/zeravan/panel.html",
                  {200, "text/html; charset=utf-8", "<p>定时关机 panel</p>" + picture});
    if (!format.isEmpty()) server.answer("/zeravan/picture", {200, "image/" + format, served});
    FakeLinkOpener links;
    WebBandView panel(links, painter);
    panel.setOwnPage(ownPage);
    panel.resize(393, 81);
    panel.show();
    QSignalSpy shown(&panel, &WebBandView::pageShown);
    panel.Navigate(server.url("/zeravan/panel.html"));
    QVERIFY(shown.wait(5000));
    QVERIFY(panel.shownText().contains(QStringLiteral("定时关机 panel")));
    QVERIFY(!panel.shownText().contains(QStringLiteral("自己的页")));
    // Data: pictures come painted with the page, served ones after it.
    QTRY_COMPARE(pixelsWhere(panel.grab().toImage(), test::near(colour)).size(), pixels);
    server.requests.sort();
    QCOMPARE(server.requests, format.isEmpty()
                                  ? QStringList({"/zeravan/panel.html"})
                                  : QStringList({"/zeravan/panel.html", "/zeravan/picture"}));
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
                  {200, "text/html", "<p>" + QByteArray(2 * platform::maxPageBytes, 'x')});
    server.answer("/hang.html", {200, "text/html", {}, true});
    QUrl address = server.url(path);
    if (refused) {
        QTcpServer closed;
        closed.listen(QHostAddress::LocalHost);
        address.setPort(closed.serverPort());
    }
    if (nameless) address.setHost(QStringLiteral("zeravan.invalid"));
    FakeLinkOpener links;
    WebBandView panel(links, painter, nullptr, 1500);
    panel.setOwnPage(ownPage);
    panel.show();
    QSignalSpy failed(&panel, &WebBandView::pageFailed);
    int ticks = 0;
    QTimer tick;
    connect(&tick, &QTimer::timeout, [&ticks] { ++ticks; });
    tick.start(100);
    panel.Navigate(address);
    QVERIFY(failed.wait(8000));
    QCOMPARE(panel.shownText(), QStringLiteral("Zeravan 自己的页"));
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
    FakeLinkOpener links;
    WebBandView panel(links, painter);
    panel.setOwnPage(ownPage);
    QSignalSpy shown(&panel, &WebBandView::pageShown);
    panel.Navigate(server.url("/panel.html"));
    QCOMPARE(panel.shownText(), QStringLiteral("Zeravan 自己的页"));
    QTest::qWait(500);
    QCOMPARE(server.requests, QStringList());
    panel.show();
    QVERIFY(shown.wait(5000));
    QCOMPARE(server.requests, QStringList({"/panel.html"}));
    QCOMPARE(panel.shownText(), QStringLiteral("the maker's page"));
}

void PageViewTest::noBorderAndNoScrollBars() {
    FakeLinkOpener links;
    WebBandView panel(links, painter);
    panel.resize(433, 113);
    panel.setContentsMargins(13, 10, 27, 22);
    panel.show();
    QCOMPARE(panel.browser().frameShape(), QFrame::NoFrame);
    QCOMPARE(panel.browser().verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(panel.browser().horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(panel.browser().geometry(), QRect(13, 10, 393, 81));
}

void PageViewTest::painterGivenUp_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<int>("withinMs");
    QTest::addColumn<QByteArray>("answers");  // what @ANSWERS@ says before it sleeps
    QTest::addColumn<QString>("logged");      // the warning the band logs, if any
    const QByteArray plain = "<p>page</p>";
    const int deadline = PagePainter::defaultAnswerTimeoutMs + 1000;
    QTest::newRow("not there") << QStringLiteral("/nonexistent/zeravan-page-painter") << plain
                               << 1000 << QByteArray() << QString();
    QTest::newRow("says nonsense")
        << QStringLiteral("/bin/cat") << plain << 1000 << QByteArray() << QString();
    QTest::newRow("never answers")
        << QStringLiteral("@SLEEPER@") << plain << deadline << QByteArray() << QString();
    // A page no page of the band's could be, laid out all the same: it outgrows the painter's
    // memory, which ends it long before its deadline.
    QTest::newRow("outgrows its memory")
        << painter << QByteArray("<p>x</p>").repeated(200'000) << 3000 << QByteArray() << QString();
    // Answers no painter of this build gives, each refused as soon as it is read.
    const QSize pixels(393, 81);
    const auto answer = [&](QSize size, const QString& text, qsizetype anchors) {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        const platform::PageAnchor link{
            QStringLiteral("http://zeravan.example/a"), QStringLiteral("a"), {1, 1, 9, 9}};
        return platform::answerFrame(
            platform::PaintedPage{image, text, QList<platform::PageAnchor>(anchors, link), {}});
    };
    const QByteArray painted = answer(pixels, QStringLiteral("page"), 1);
    const auto payloadOf = [](const QByteArray& frame, qsizetype length) {
        QByteArray payload = frame.mid(8).leftJustified(length, 'x', true);
        QByteArray framed = frame.left(8) + payload;
        qToBigEndian(quint32(payload.size()), framed.data());
        return framed;
    };
    const auto malformed = [&](const char* tag, const QByteArray& answers, const QString& logged) {
        QTest::newRow(tag) << QStringLiteral("@ANSWERS@") << plain << 1000 << answers << logged;
    };
    QByteArray otherBuild = painted;
    qToBigEndian(platform::paintProtocolVersion + 1, otherBuild.data() + 4);
    malformed("answer of another build", otherBuild, QStringLiteral("another build"));
    QByteArray oversized = painted.left(8);
    qToBigEndian(quint32(platform::maxAnswerBytes(pixels) + 1), oversized.data());
    malformed("answer longer than any page's", oversized, {});
    malformed("answer cut short", payloadOf(painted, painted.size() - 8 - 3), {});
    malformed("bytes after the answer's fields", payloadOf(painted, painted.size() - 8 + 1), {});
    malformed("picture of another size", answer(pixels.transposed(), QStringLiteral("page"), 1),
              {});
    malformed("more links than a page's", answer(pixels, {}, platform::maxAnchors + 1), {});
    malformed("more text than a page's",
              answer(pixels, QString(platform::maxAnswerText + 1, QLatin1Char('x')), 0), {});
}

// A painter that cannot do its work, or not in time, or says what no painter of this build
// would, is ended and says so; meanwhile it never holds more than its share.
void PageViewTest::painterGivenUp() {
    QFETCH(QString, program);
    QFETCH(QByteArray, page);
    QFETCH(int, withinMs);
    QFETCH(QByteArray, answers);
    QFETCH(QString, logged);
    QTemporaryDir folder;
    QFile said(folder.filePath(QStringLiteral("answers")));
    QVERIFY(said.open(QIODevice::WriteOnly) && said.write(answers) == answers.size());
    said.close();
    const auto script = [&folder](const char* name, const QByteArray& text) {
        QFile file(folder.filePath(QLatin1String(name)));
        file.open(QIODevice::WriteOnly);
        file.write("#!/bin/sh\n" + text);
        file.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        return file.fileName();
    };
    program.replace(QStringLiteral("@SLEEPER@"), script("sleeper", "exec sleep 60\n"));
    program.replace(QStringLiteral("@ANSWERS@"),
                    script("answerer", "cat \"$(dirname \"$0\")/answers\"\nexec sleep 60\n"));
    if (!logged.isEmpty()) QTest::ignoreMessage(QtWarningMsg, QRegularExpression(logged));
    PagePainter pagePainter(program, nullptr);
    QSignalSpy answered(&pagePainter, &PagePainter::answered);
    QSignalSpy failed(&pagePainter, &PagePainter::failed);
    qint64 painterPeakKb = 0;
    QTimer sample;
    connect(&sample, &QTimer::timeout,
            [&] { painterPeakKb = qMax(painterPeakKb, childrenPeakKb()); });
    sample.start(20);
    QElapsedTimer sincePainting;
    sincePainting.start();
    pagePainter.paintPage({page, {393, 81}, 1, QFont(), QPalette(), "text/html"}, 96);
    QVERIFY(failed.wait(PagePainter::defaultAnswerTimeoutMs + 3000));
    qInfo("given up after %lld ms; the painter's peak %lld KB", sincePainting.elapsed(),
          painterPeakKb);
    QVERIFY2(sincePainting.elapsed() < withinMs,
             qPrintable(QString::number(sincePainting.elapsed())));
    QCOMPARE(answered.size(), 0);
    QVERIFY2(painterPeakKb < painterMaxKb(), qPrintable(QString::number(painterPeakKb)));
}

// Other users of the machine reach the loopback too: the band's relay to the network takes
// neither a client that offers no password nor one with a wrong password.
void PageViewTest::fetchRelayServesTheBandAlone() {
    LocalHttpServer server;
    server.answer("/hang.html", {200, "text/html", {}, true});
    const QList<quint16> before = ownLoopbackListeners();
    FakeLinkOpener links;
    WebBandView panel(links, painter);
    panel.setOwnPage(ownPage);
    panel.show();
    panel.Navigate(server.url("/hang.html"));
    QTRY_VERIFY(!server.requests.isEmpty());
    QList<quint16> relays = ownLoopbackListeners();
    for (quint16 port : before) relays.removeAll(port);
    QCOMPARE(relays.size(), 1);
    const QByteArray noPassword = socksAnswer(relays[0], QByteArray("\x05\x01\x00", 3));
    QVERIFY2(!noPassword.startsWith(QByteArray("\x05\x00", 2)), noPassword.toHex().constData());
    const QByteArray guessed =
        socksAnswer(relays[0], QByteArray("\x05\x01\x02\x01\x07zeravan\x05guess", 19));
    QCOMPARE(guessed.toHex(), QByteArray("05020101"));
}

namespace {

// The columns of the hostile pages' tables. In a page, @BAIT@ stands for the folder of local bait
// and @OTHER@ for another site.
void addHostilePageColumns() {
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<int>("dripMs");     // between the body's bytes; below 0, headers without end
    QTest::addColumn<QString>("shows");  // text of the page shown, or empty for the own page
    QTest::addColumn<bool>("fromOutside");  // the painter is checked as the system sees it
}

const QByteArray whitePage = "<body bgcolor=\"#ffffff\"><p>page</p>";

// A white page with that body, shown as it is.
void addShownPage(const char* tag, const QByteArray& body, bool fromOutside = false) {
    QTest::newRow(tag) << whitePage + body << QByteArray("text/html") << 0 << QStringLiteral("page")
                       << fromOutside;
}

}  // namespace

// test_page_view_opens runs these under strace, for the kernel's record of what was opened.
void PageViewTest::pagesNamingLocalFiles_data() {
    addHostilePageColumns();
    addShownPage("file address",
                 "<img src=\"file://@BAIT@/bait.png\">"
                 "<img src=\"file://@BAIT@/bait.png\" width=\"40\" height=\"40\">");
    addShownPage("absolute path", "<img src=\"@BAIT@/bait.png\">");
    addShownPage("relative path", "<img src=\"bait.png\"><img src=\"./bait.pipe\">");
    addShownPage(
        "qrc",
        "<img src=\"qrc:/qt-project.org/styles/commonstyle/images/standardbutton-cancel-128.png\">"
        "<img src=\":/qt-project.org/styles/commonstyle/images/standardbutton-cancel-128.png\">");
    addShownPage(
        "background pictures",
        "<table background=\"file://@BAIT@/bait.png\"><tr><td background=\"@BAIT@/bait.png\">cell"
        "</td></tr></table><p style=\"background-image: url(file://@BAIT@/bait.png)\">styled</p>");
    addShownPage("style sheets",
                 "<link rel=\"stylesheet\" type=\"text/css\" href=\"file://@BAIT@/bait.css\">"
                 "<style>@import url(\"@BAIT@/bait.css\");</style><p>styled</p>");
    addShownPage("big data address", "<img src=\"" + bigDataAddress() + "\">");
    addShownPage("dev zero",
                 "<img src=\"file:///dev/zero\"><img src=\"/dev/zero\" width=\"9\" height=\"9\">"
                 "<p style=\"background-image: url(/dev/zero)\">styled</p>");
    addShownPage("named pipe", "<img src=\"file://@BAIT@/bait.pipe\">");
    addShownPage("svg naming a local picture", "<img src=\"/file.svg\"><img src=\"/path.svg\">");
    addShownPage("svg naming a named pipe", "<img src=\"/pipe.svg\">");
}

void PageViewTest::pagesNamingLocalFiles() {
    checkHostilePage();
}

void PageViewTest::hostilePictures_data() {
    addHostilePageColumns();
    QByteArray huge;
    for (int i = 0; i < 16; ++i) huge += "<img src=\"/huge" + QByteArray::number(i) + ".png\">";
    addShownPage("huge pictures", huge);
    addShownPage("picture from another site", "<img src=\"@OTHER@/green.png\">");
    addShownPage("picture moved to another site", "<img src=\"/moved.png\">");
    addShownPage("text chunks in a picture", "<img src=\"/text.png\">");
    const QByteArray textData =
        "<img src=\"data:image/png;base64," + pngWithTextBombs(2).toBase64() + "\">";
    addShownPage("text chunks in data addresses", textData.repeated(8));
    addShownPage("repeated progressive scans", QByteArray("<img src=\"/scans.jpg\">").repeated(8));
    addShownPage("gif on a huge screen", "<img src=\"/screen.gif\">");
    addShownPage("painter walled in", "<p>定时关机</p><img src=\"/held.png\">", true);
}

void PageViewTest::hostilePictures() {
    checkHostilePage();
}

void PageViewTest::hostileMarkup_data() {
    addHostilePageColumns();
    const QByteArray& white = whitePage;
    QTest::newRow("newlines in pre") << white + "<pre>" + QByteArray(700'000, '\n') + "</pre>"
                                     << QByteArray("text/html") << 0 << QString() << false;
    QTest::newRow("3000 nested tables")
        << "<p>page</p>" + QByteArray("<table><tr><td>").repeated(3000) + "deep"
        << QByteArray("text/html") << 0 << QString() << false;
    QTest::newRow("60000 nested divs")
        << "<p>page</p>" + QByteArray("<div>").repeated(60000) + "deep" << QByteArray("text/html")
        << 0 << QString() << false;
    QTest::newRow("endless headers")
        << white << QByteArray("text/html") << -1 << QString() << false;
    QTest::newRow("slow drip") << white + QByteArray(200, ' ') << QByteArray("text/html") << 500
                               << QString() << false;
    const QByteArray shutdownInGbk = "\xb6\xa8\xca\xb1\xb9\xd8\xbb\xfa";  // 定时关机
    QTest::newRow("gbk in meta charset")
        << "<html><head><meta charset=\"gbk\"></head><body>" + shutdownInGbk
        << QByteArray("text/html") << 0 << QStringLiteral("定时关机") << false;
    QTest::newRow("gb2312 in http-equiv")
        << "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=GB2312\"><p>" +
               shutdownInGbk
        << QByteArray("text/html") << 0 << QStringLiteral("定时关机") << false;
}

void PageViewTest::hostileMarkup() {
    checkHostilePage();
}

// Whatever the page: the band opens no local file, shows no picture or colour it was not meant
// to, keeps to its memory, and the window keeps answering.
void PageViewTest::checkHostilePage() {
    QFETCH(QByteArray, page);
    QFETCH(QByteArray, contentType);
    QFETCH(int, dripMs);
    QFETCH(QString, shows);
    QFETCH(bool, fromOutside);
    if (fromOutside && !kernelWallsPainters())
        QSKIP("the kernel lacks seccomp, Landlock or user namespaces: the painter logs which");
    // Time to look at the painter while it waits for the picture held back.
    const int deadlineMs = fromOutside ? 5000 : 2000;
    test::LocalBait bait;
    LocalHttpServer server;
    LocalHttpServer other;
    other.answer("/green.png", {200, "image/png", pngOf(QColor(0, 255, 0))});
    page.replace("@BAIT@", QFile::encodeName(bait.path()));
    page.replace("@OTHER@", other.url(QString()).toEncoded());
    server.answer("/p.html", {200, contentType, page, false, qMax(dripMs, 0), {}, dripMs < 0});
    server.answer("/moved.png",
                  {302, "text/html", {}, false, 0, other.url("/green.png").toEncoded()});
    const QByteArray huge = hugeGreenPng();
    for (int i = 0; i < 16; ++i)
        server.answer(QStringLiteral("/huge%1.png").arg(i), {200, "image/png", huge});
    server.answer("/text.png", {200, "image/png", pngWithTextBombs(67)});
    server.answer("/scans.jpg", {200, "image/jpeg", jpegWithRepeatedScans()});
    server.answer("/screen.gif", {200, "image/gif", gifOfAGreenPixel(5700)});
    const QByteArray baitFolder = QFile::encodeName(bait.path());
    server.answer("/file.svg",
                  {200, "image/svg+xml", svgNaming("file://" + baitFolder + "/bait.png")});
    server.answer("/path.svg", {200, "image/svg+xml", svgNaming(baitFolder + "/bait.png")});
    server.answer("/pipe.svg", {200, "image/svg+xml", svgNaming(baitFolder + "/bait.pipe")});
    server.answer("/held.png", {200, "image/png", {}, true});
    // What the window holds and no painter may: addresses, and a descriptor left open.
    const QProcessEnvironment windowEnvironment = QProcessEnvironment::systemEnvironment();
    for (const char* address : windowAddresses) qputenv(address, "unix:path=/nonexistent");
    const int leftOpen = open("/dev/null", O_RDONLY);
    const QString startFolder = QDir::currentPath();
    QDir::setCurrent(bait.path());

    FakeLinkOpener links;
    WebBandView panel(links, painter, nullptr, deadlineMs);
    panel.setOwnPage(ownPage);
    panel.resize(393, 81);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    QSignalSpy shown(&panel, &WebBandView::pageShown);
    QSignalSpy failed(&panel, &WebBandView::pageFailed);
    QElapsedTimer sinceTick;
    qint64 longestGap = 0;
    qint64 painterPeakKb = 0;
    QTimer tick;
    connect(&tick, &QTimer::timeout, [&] {
        longestGap = qMax(longestGap, sinceTick.restart());
        painterPeakKb = qMax(painterPeakKb, paintersPeakKb());
    });
    resetPeakResident();
    const qint64 residentBefore = residentKb();
    sinceTick.start();
    tick.start(20);
    QElapsedTimer sinceNavigating;
    sinceNavigating.start();
    panel.Navigate(server.url("/p.html"));
    QTRY_VERIFY_WITH_TIMEOUT(shown.size() + failed.size() > 0, deadlineMs + 3000);
    const qint64 settledMs = sinceNavigating.elapsed();
    for (const char* address : windowAddresses) {
        const QString name = QLatin1String(address);
        windowEnvironment.contains(name)
            ? qputenv(address, windowEnvironment.value(name).toLocal8Bit())
            : qunsetenv(address);
    }
    close(leftOpen);
    if (fromOutside) checkPainterFromOutside(bait.path() + QStringLiteral("/bait.png"));
    if (QTest::currentTestFailed()) return;
    QTest::qWait(deadlineMs);  // past the deadline nothing more comes
    tick.stop();
    QDir::setCurrent(startFolder);

    const qint64 peakGrowthKb = residentKb("VmHWM:") - residentBefore;
    const QStringList opened = bait.opened();
    qInfo(
        "settled after %lld ms, peak growth %lld KB, painter's peak %lld KB, longest pause %lld "
        "ms, opened [%s], shows \"%s\"",
        settledMs, peakGrowthKb, painterPeakKb, longestGap,
        qPrintable(opened.join(QLatin1Char(','))), qPrintable(panel.shownText().left(40)));
    QCOMPARE(opened, QStringList());
    if (shows.isEmpty()) {
        QCOMPARE(failed.size(), 1);
        QCOMPARE(panel.shownText(), QStringLiteral("Zeravan 自己的页"));
    } else {
        QCOMPARE(shown.size(), 1);
        QVERIFY2(panel.shownText().contains(shows), qPrintable(panel.shownText()));
    }
    QCOMPARE(pixelsWhere(panel.grab().toImage(), test::coloured), QList<QPoint>());
    QCOMPARE(other.requests, QStringList());
    QVERIFY(server.requests.filter(QStringLiteral("/huge")).size() <= 8);
    // A few copies of the page on its way to the painter (more under the address sanitizer,
    // which holds on to what was freed); the page's layout and pictures are the painter's.
    QVERIFY2(peakGrowthKb < 16 * 1024,
             qPrintable(QStringLiteral("grew by %1 KB").arg(peakGrowthKb)));
    QVERIFY2(longestGap < 500, qPrintable(QStringLiteral("no tick for %1 ms").arg(longestGap)));
    // What the band makes of a page is known before the deadline, but for a page still coming.
    QVERIFY2(dripMs > 0 || settledMs < deadlineMs,
             qPrintable(QStringLiteral("settled after %1 ms").arg(settledMs)));
    QVERIFY2(painterPeakKb < painterMaxKb(),
             qPrintable(QStringLiteral("the painter held %1 KB").arg(painterPeakKb)));
}

QTEST_MAIN(PageViewTest)
#include "test_page_view.moc"
