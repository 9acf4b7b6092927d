// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "platform/page_view_text.h"

#include <QHostInfo>
#include <QImage>
#include <QNetworkReply>
#include <QSet>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextFragment>
#include <QTimer>

namespace zeravan::platform {

namespace {

// Shows only what the page itself brought; never reads local files behind the page's back.
class PanelBrowser final : public QTextBrowser {
public:
    using QTextBrowser::QTextBrowser;
    QVariant loadResource(int, const QUrl&) override { return {}; }
};

bool succeeded(QNetworkReply* reply) {
    return reply->error() == QNetworkReply::NoError &&
           reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() == 200;
}

QString mediaType(QNetworkReply* reply) {
    return reply->header(QNetworkRequest::ContentTypeHeader)
        .toString()
        .section(QLatin1Char(';'), 0, 0)
        .trimmed()
        .toLower();
}

QString decodedBody(QNetworkReply* reply, const QByteArray& body) {
    const QString contentType = reply->header(QNetworkRequest::ContentTypeHeader).toString();
    const QByteArray charset =
        contentType.section(QStringLiteral("charset="), 1).trimmed().toLatin1();
    QStringDecoder decoder(charset.isEmpty() ? "UTF-8" : charset.constData());
    if (!decoder.isValid()) return QString::fromUtf8(body);
    return decoder.decode(body);
}

QStringList imageNames(const QTextDocument& document) {
    QStringList names;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextCharFormat format = fragment.fragment().charFormat();
            if (format.isImageFormat()) names << format.toImageFormat().name();
        }
    }
    names.removeDuplicates();
    return names;
}

}  // namespace

TextPageView::TextPageView(QNetworkAccessManager& network, LinkOpener& links, QWidget* parent,
                           int timeoutMs)
    : PageView(parent),
      network_(network),
      links_(links),
      browser_(new PanelBrowser(this)),
      timeoutMs_(timeoutMs) {
    browser_->setFrameShape(QFrame::NoFrame);
    browser_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    browser_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    browser_->setOpenLinks(false);
    browser_->setOpenExternalLinks(false);
    connect(browser_, &QTextBrowser::anchorClicked, this, [this](const QUrl& link) {
        const QString scheme = link.scheme().toLower();
        if (scheme == QLatin1String("http") || scheme == QLatin1String("https")) {
            links_.open(link);
        }
    });
    browser_->viewport()->installEventFilter(this);
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
    browser_->setHtml(ownPage());
    pendingAddress_ = address;
    if (painted_) QTimer::singleShot(0, this, &TextPageView::fetchPage);
}

// The site's name is looked up first: a name that leads nowhere (no network, a placeholder
// address) leaves the own page without loading the TLS library for an https address at all.
void TextPageView::fetchPage() {
    if (pendingAddress_.isEmpty()) return;
    const QUrl address = pendingAddress_;
    pendingAddress_.clear();
    QHostInfo::lookupHost(address.host(), this, [this, address](const QHostInfo& host) {
        if (host.error() != QHostInfo::NoError || host.addresses().isEmpty()) {
            emit pageFailed();
            return;
        }
        QNetworkReply* reply = fetch(address, maxPageBytes);
        connect(reply, &QNetworkReply::finished, this, [this, reply] { showPage(reply); });
    });
}

// A bounded fetch: one that grows past its limit is aborted and ends as an error.
QNetworkReply* TextPageView::fetch(const QUrl& address, qint64 maxBytes) {
    QNetworkRequest request(address);
    request.setTransferTimeout(timeoutMs_);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkReply* reply = network_.get(request);
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply, maxBytes](qint64 received) {
        if (received > maxBytes) reply->abort();
    });
    return reply;
}

void TextPageView::showPage(QNetworkReply* reply) {
    reply->deleteLater();
    const QByteArray body = reply->readAll();
    if (!succeeded(reply) || mediaType(reply) != QLatin1String("text/html") ||
        body.size() > maxPageBytes) {
        emit pageFailed();
        return;
    }
    browser_->setHtml(decodedBody(reply, body));
    emit pageShown();
    fetchImages(reply->url());
}

void TextPageView::fetchImages(const QUrl& base) {
    const QStringList names = imageNames(*browser_->document());
    for (const QString& name : names.mid(0, maxImages)) {
        const QUrl address = base.resolved(QUrl(name));
        const QString scheme = address.scheme().toLower();
        if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) continue;
        QNetworkReply* reply = fetch(address, maxImageBytes);
        connect(reply, &QNetworkReply::finished, this,
                [this, reply, name] { showImage(reply, name); });
    }
}

void TextPageView::showImage(QNetworkReply* reply, const QString& name) {
    reply->deleteLater();
    if (!succeeded(reply)) return;
    const QImage image = QImage::fromData(reply->readAll());
    if (image.isNull()) return;
    QTextDocument* document = browser_->document();
    document->addResource(QTextDocument::ImageResource, QUrl(name), image);
    document->markContentsDirty(0, document->characterCount());
    emit imageShown();
}

}  // namespace zeravan::platform
