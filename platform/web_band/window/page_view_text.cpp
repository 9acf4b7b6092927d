// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "platform/page_view_text.h"

#include <QEvent>
#include <QHash>
#include <QHostInfo>
#include <QNetworkReply>

#include "sealed_text_document.h"
#include "page_picture_view.h"
#include "page_pictures.h"
#include "platform/page_decoding.h"
#include "platform/page_painter.h"

namespace zeravan::platform {

namespace {

bool succeeded(QNetworkReply* reply) {
    return reply->error() == QNetworkReply::NoError &&
           reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() == 200;
}

QString contentType(QNetworkReply* reply) {
    return reply->header(QNetworkRequest::ContentTypeHeader).toString();
}

QString mediaType(QNetworkReply* reply) {
    return contentType(reply).section(QLatin1Char(';'), 0, 0).trimmed().toLower();
}

// Same scheme, host and port: the page's own site.
bool sameSite(const QUrl& address, const QUrl& page) {
    const QString scheme = address.scheme();
    const int defaultPort = scheme == QLatin1String("https") ? 443 : 80;
    return (scheme == QLatin1String("http") || scheme == QLatin1String("https")) &&
           scheme == page.scheme() && address.host() == page.host() &&
           address.port(defaultPort) == page.port(defaultPort);
}

}  // namespace

TextPageView::TextPageView(QNetworkAccessManager& network, LinkOpener& links,
                           QString painterProgram, QWidget* parent, int timeoutMs)
    : PageView(parent),
      network_(network),
      links_(links),
      browser_(new QTextBrowser(this)),
      picture_(new PagePictureView(this)),
      painter_(new PagePainter(std::move(painterProgram), this)) {
    browser_->setFrameShape(QFrame::NoFrame);
    browser_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    browser_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    browser_->setOpenLinks(false);
    browser_->setOpenExternalLinks(false);
    showHtml(QString());
    // A relative link is the page's: it resolves against the page's address.
    connect(browser_, &QTextBrowser::anchorClicked, this, [this](const QUrl& link) {
        const QUrl address = pageAddress_.resolved(link);
        const QString scheme = address.scheme().toLower();
        if (scheme == QLatin1String("http") || scheme == QLatin1String("https")) {
            links_.open(address);
        }
    });
    // The page shown is a picture; its links are clicked as the browser's.
    picture_->hide();
    connect(picture_, &PagePictureView::anchorClicked, browser_, &QTextBrowser::anchorClicked);
    connect(painter_, &PagePainter::answered, this, &TextPageView::showPainted);
    connect(painter_, &PagePainter::failed, this, &TextPageView::fail);
    browser_->viewport()->installEventFilter(this);
    deadline_.setSingleShot(true);
    deadline_.setInterval(timeoutMs);
    connect(&deadline_, &QTimer::timeout, this, &TextPageView::fail);
}

// The first paint of the page's viewport says the window is on screen; the fetch is posted so
// that the paint reaches the screen first.
bool TextPageView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint && !painted_) {
        painted_ = true;
        browser_->viewport()->removeEventFilter(this);
        if (!pendingAddress_.isEmpty()) QTimer::singleShot(0, this, &TextPageView::fetchPage);
    }
    return PageView::eventFilter(watched, event);
}

void TextPageView::resizeEvent(QResizeEvent* event) {
    PageView::resizeEvent(event);
    browser_->setGeometry(contentsRect());
    picture_->setGeometry(contentsRect());
}

void TextPageView::Navigate(const QUrl& address) {
    painter_->stop();
    ++pageNumber_;
    pageAddress_.clear();
    showHtml(ownPage());
    pendingAddress_ = address;
    settled_ = false;
    if (painted_) QTimer::singleShot(0, this, &TextPageView::fetchPage);
}

// Each page gets a document of its own; the browser deletes the one it showed before. The
// browser's font is given by hand: setDocument does not pass it on, as to its own document.
void TextPageView::showHtml(const QString& html) {
    auto* document = new SealedTextDocument(browser_);
    document->setDefaultFont(browser_->font());
    document->setHtml(html);
    browser_->setDocument(document);
    picture_->hide();
    browser_->show();
}

QString TextPageView::shownText() const {
    return picture_->isHidden() ? browser_->toPlainText() : picture_->text();
}

// The site's name is looked up first: a name that leads nowhere (no network, a placeholder
// address) leaves the own page without loading the TLS library for an https address at all.
void TextPageView::fetchPage() {
    if (pendingAddress_.isEmpty()) return;
    const QUrl address = pendingAddress_;
    pendingAddress_.clear();
    deadline_.start();
    QHostInfo::lookupHost(address.host(), this, [this, address](const QHostInfo& host) {
        if (settled_) return;
        if (host.error() != QHostInfo::NoError || host.addresses().isEmpty()) {
            fail();
            return;
        }
        QNetworkReply* reply =
            fetch(address, maxPageBytes, QNetworkRequest::NoLessSafeRedirectPolicy);
        connect(reply, &QNetworkReply::finished, this, [this, reply] { showPage(reply); });
    });
}

// A bounded fetch: one that grows past its limit, or is still going at the deadline, is aborted
// and ends as an error.
QNetworkReply* TextPageView::fetch(const QUrl& address, qint64 maxBytes,
                                   QNetworkRequest::RedirectPolicy redirects) {
    QNetworkRequest request(address);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, redirects);
    QNetworkReply* reply = network_.get(request);
    connect(reply, &QNetworkReply::downloadProgress, reply,
            [reply, maxBytes](qint64 received, qint64 total) {
                if (received > maxBytes || total > maxBytes) reply->abort();
            });
    connect(&deadline_, &QTimer::timeout, reply, &QNetworkReply::abort);
    return reply;
}

void TextPageView::fail() {
    if (settled_) return;
    settled_ = true;
    painter_->stop();
    emit pageFailed();
}

void TextPageView::showPage(QNetworkReply* reply) {
    reply->deleteLater();
    if (settled_ || !succeeded(reply) || mediaType(reply) != QLatin1String("text/html")) {
        fail();
        return;
    }
    const QByteArray body = reply->readAll();
    const SanitizedPage page =
        body.size() > maxPageBytes
            ? SanitizedPage{}
            : sanitizePage(decodedPage(contentType(reply), body).toStdString());
    if (!page.accepted) {
        fail();
        return;
    }
    pageAddress_ = reply->url();
    const PageToPaint toPaint{QByteArray::fromStdString(page.html), browser_->viewport()->size(),
                              browser_->devicePixelRatioF(), browser_->font(), browser_->palette()};
    painter_->paintPage(toPaint, browser_->logicalDpiY());
    if (!settled_) fetchImages(reply->url(), page.images);
}

// The first answer shows the page; each one after it a picture more.
void TextPageView::showPainted(const PaintAnswer& answer) {
    if (!answer) return;
    picture_->showPage(*answer);
    if (settled_) {
        emit imageShown();
        return;
    }
    settled_ = true;
    browser_->hide();
    picture_->show();
    emit pageShown();
}

// Each picture goes to the painter as it comes; once the last has come the painter may end.
void TextPageView::fetchImages(const QUrl& page, const std::vector<PageImage>& images) {
    QHash<QUrl, QList<std::pair<std::size_t, QSize>>> wanted;  // each picture, where and how big
    for (std::size_t index = 0; index < images.size(); ++index) {
        const QString source = QString::fromStdString(images[index].source);
        const QSize asked(images[index].width, images[index].height);
        if (source.startsWith(QLatin1String("data:"), Qt::CaseInsensitive)) {
            paintImage(dataAddressBytes(source, maxDataImageBytes), {{index, asked}});
            continue;
        }
        const QUrl address = page.resolved(QUrl(source));
        if (sameSite(address, page)) wanted[address].append({index, asked});
    }
    imagesComing_ = int(wanted.size());
    if (imagesComing_ == 0) painter_->finish();
    for (auto it = wanted.cbegin(); it != wanted.cend(); ++it) {
        // A picture that moves elsewhere is not followed.
        QNetworkReply* reply =
            fetch(it.key(), maxImageBytes, QNetworkRequest::ManualRedirectPolicy);
        connect(reply, &QNetworkReply::finished, this,
                [this, reply, number = pageNumber_, shown = it.value()] {
                    reply->deleteLater();
                    // The page may have been replaced meanwhile.
                    if (number != pageNumber_) return;
                    if (succeeded(reply)) paintImage(reply->readAll(), shown);
                    if (--imagesComing_ == 0) painter_->finish();
                });
    }
}

// One picture, once, for every place the page shows it.
void TextPageView::paintImage(const QByteArray& bytes,
                              const QList<std::pair<std::size_t, QSize>>& places) {
    if (bytes.isEmpty()) return;
    PictureToAdd picture{bytes, {}};
    for (const auto& [index, asked] : places) {
        picture.places.append({QString::fromStdString(pageImageName(index)), asked});
    }
    painter_->addPicture(picture);
}

}  // namespace zeravan::platform
