// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "platform/page_view_text.h"

#include <QEvent>
#include <QHash>
#include <QHostInfo>
#include <QNetworkReply>
#include <QPointer>

#include "page_pictures.h"
#include "platform/page_decoding.h"
#include "sealed_text_document.h"

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

TextPageView::TextPageView(QNetworkAccessManager& network, LinkOpener& links, QWidget* parent,
                           int timeoutMs)
    : PageView(parent), network_(network), links_(links), browser_(new QTextBrowser(this)) {
    browser_->setFrameShape(QFrame::NoFrame);
    browser_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    browser_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    browser_->setOpenLinks(false);
    browser_->setOpenExternalLinks(false);
    showHtml(QString());
    // A relative link is the page's: its document's base is the page's address.
    connect(browser_, &QTextBrowser::anchorClicked, this, [this](const QUrl& link) {
        const QUrl address = browser_->document()->baseUrl().resolved(link);
        const QString scheme = address.scheme().toLower();
        if (scheme == QLatin1String("http") || scheme == QLatin1String("https")) {
            links_.open(address);
        }
    });
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
}

void TextPageView::Navigate(const QUrl& address) {
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
    showHtml(QString::fromStdString(page.html));
    browser_->document()->setBaseUrl(reply->url());
    settled_ = true;
    emit pageShown();
    fetchImages(reply->url(), page.images);
}

void TextPageView::fetchImages(const QUrl& page, const std::vector<PageImage>& images) {
    const QPointer<QTextDocument> document = browser_->document();
    QHash<QUrl, QList<std::pair<std::size_t, QSize>>> wanted;  // each picture, where and how big
    for (std::size_t index = 0; index < images.size(); ++index) {
        const QString source = QString::fromStdString(images[index].source);
        const QSize asked(images[index].width, images[index].height);
        if (source.startsWith(QLatin1String("data:"), Qt::CaseInsensitive)) {
            showImage(*document, index, dataAddressBytes(source, maxDataImageBytes), asked);
            continue;
        }
        const QUrl address = page.resolved(QUrl(source));
        if (sameSite(address, page)) wanted[address].append({index, asked});
    }
    for (auto it = wanted.cbegin(); it != wanted.cend(); ++it) {
        // A picture that moves elsewhere is not followed.
        QNetworkReply* reply =
            fetch(it.key(), maxImageBytes, QNetworkRequest::ManualRedirectPolicy);
        connect(reply, &QNetworkReply::finished, this, [this, reply, document, shown = it.value()] {
            reply->deleteLater();
            // The page may have been replaced meanwhile.
            if (!succeeded(reply) || document != browser_->document()) return;
            const QByteArray bytes = reply->readAll();
            for (const auto& [index, asked] : shown) showImage(*document, index, bytes, asked);
        });
    }
}

void TextPageView::showImage(QTextDocument& document, std::size_t index, const QByteArray& bytes,
                             QSize asked) {
    const QImage picture =
        shownPicture(bytes, asked, browser_->viewport()->size(), browser_->devicePixelRatioF());
    if (picture.isNull()) return;
    document.addResource(QTextDocument::ImageResource,
                         QUrl(QString::fromStdString(pageImageName(index))),
                         QPixmap::fromImage(picture));
    document.markContentsDirty(0, document.characterCount());
    emit imageShown();
}

}  // namespace zeravan::platform
