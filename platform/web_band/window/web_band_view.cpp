// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "platform/web_band_view.h"

#include <QEvent>

#include "page_fetcher.h"
#include "page_picture_view.h"
#include "platform/page_painter.h"

namespace zeravan::platform {

namespace {

// Same scheme, host and port: the page's own site.
bool sameSite(const QUrl& address, const QUrl& page) {
    const QString scheme = address.scheme();
    const int defaultPort = scheme == QLatin1String("https") ? 443 : 80;
    return (scheme == QLatin1String("http") || scheme == QLatin1String("https")) &&
           scheme == page.scheme() && address.host() == page.host() &&
           address.port(defaultPort) == page.port(defaultPort);
}

}  // namespace

WebBandView::WebBandView(LinkOpener& links, QString painterProgram, QWidget* parent, int timeoutMs)
    : PageView(parent),
      links_(links),
      browser_(new QTextBrowser(this)),
      picture_(new PagePictureView(this)),
      painter_(new PagePainter(std::move(painterProgram), this)),
      fetcher_(new PageFetcher) {
    browser_->setFrameShape(QFrame::NoFrame);
    browser_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    browser_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    browser_->setOpenLinks(false);
    browser_->setOpenExternalLinks(false);
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
    connect(painter_, &PagePainter::answered, this, &WebBandView::showPainted);
    connect(painter_, &PagePainter::failed, this, &WebBandView::fail);
    fetcher_->moveToThread(&networkThread_);
    connect(&networkThread_, &QThread::finished, fetcher_, &QObject::deleteLater);
    connect(fetcher_, &PageFetcher::pageFetched, this, &WebBandView::paintPage);
    connect(fetcher_, &PageFetcher::pageFailed, this, [this](int number) {
        if (number == pageNumber_) fail();
    });
    connect(fetcher_, &PageFetcher::pictureFetched, this, &WebBandView::paintPicture);
    networkThread_.start();
    browser_->viewport()->installEventFilter(this);
    deadline_.setSingleShot(true);
    deadline_.setInterval(timeoutMs);
    // Past it nothing more is fetched; a painter still waiting for pictures ends.
    connect(&deadline_, &QTimer::timeout, this, [this] {
        QMetaObject::invokeMethod(fetcher_, &PageFetcher::stop);
        picturesComing_.clear();
        if (settled_) painter_->finish();
        fail();
    });
}

// The fetcher, its fetches with it, goes once its thread has ended, unheard.
WebBandView::~WebBandView() {
    networkThread_.quit();
    networkThread_.wait();
}

// The first paint of the page's viewport says the window is on screen; the fetch is posted so
// that the paint reaches the screen first.
bool WebBandView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint && !painted_) {
        painted_ = true;
        browser_->viewport()->removeEventFilter(this);
        if (!pendingAddress_.isEmpty()) QTimer::singleShot(0, this, &WebBandView::fetchPage);
    }
    return PageView::eventFilter(watched, event);
}

void WebBandView::resizeEvent(QResizeEvent* event) {
    PageView::resizeEvent(event);
    browser_->setGeometry(contentsRect());
    picture_->setGeometry(contentsRect());
}

void WebBandView::Navigate(const QUrl& address) {
    painter_->stop();
    QMetaObject::invokeMethod(fetcher_, &PageFetcher::stop);
    ++pageNumber_;
    pageAddress_.clear();
    picturesComing_.clear();
    showOwnPage();
    pendingAddress_ = address;
    settled_ = false;
    if (painted_) QTimer::singleShot(0, this, &WebBandView::fetchPage);
}

// The program's own HTML, which names nothing to load.
void WebBandView::showOwnPage() {
    browser_->setHtml(ownPage());
    picture_->hide();
    browser_->show();
}

QString WebBandView::shownText() const {
    return picture_->isHidden() ? browser_->toPlainText() : picture_->text();
}

void WebBandView::fetchPage() {
    if (pendingAddress_.isEmpty()) return;
    const QUrl address = std::exchange(pendingAddress_, QUrl());
    deadline_.start();
    QMetaObject::invokeMethod(fetcher_, [fetcher = fetcher_, address, number = pageNumber_] {
        fetcher->fetchPage(address, number);
    });
}

void WebBandView::fail() {
    if (settled_) return;
    settled_ = true;
    painter_->stop();
    emit pageFailed();
}

void WebBandView::paintPage(int number, const QUrl& address, const QByteArray& bytes,
                            const QString& contentType) {
    if (number != pageNumber_ || settled_) return;
    pageAddress_ = address;
    painter_->paintPage({bytes, browser_->viewport()->size(), browser_->devicePixelRatioF(),
                         browser_->font(), browser_->palette(), contentType},
                        browser_->logicalDpiY());
}

// The first answer shows the page, or says it is not one to lay out; each one after it shows a
// picture more.
void WebBandView::showPainted(const PaintAnswer& answer) {
    if (!answer) {
        if (!settled_) fail();
        return;
    }
    picture_->showPage(*answer);
    if (settled_) {
        emit imageShown();
        return;
    }
    settled_ = true;
    browser_->hide();
    picture_->show();
    emit pageShown();
    fetchPictures(answer->pictures);
}

// Each picture of the page's own site is fetched once, for every place the page shows it.
void WebBandView::fetchPictures(const QList<PagePicture>& pictures) {
    for (qsizetype index = 0; index < pictures.size(); ++index) {
        const QUrl address = pageAddress_.resolved(QUrl(pictures[index].source));
        if (sameSite(address, pageAddress_)) {
            picturesComing_[address].append({quint32(index), pictures[index].asked});
        }
    }
    if (picturesComing_.isEmpty()) painter_->finish();
    for (auto it = picturesComing_.cbegin(); it != picturesComing_.cend(); ++it) {
        QMetaObject::invokeMethod(fetcher_,
                                  [fetcher = fetcher_, address = it.key(), number = pageNumber_] {
                                      fetcher->fetchPicture(address, number);
                                  });
    }
}

// Each picture goes to the painter as it comes; once the last has come the painter may end.
void WebBandView::paintPicture(int number, const QUrl& address, const QByteArray& bytes) {
    if (number != pageNumber_ || !picturesComing_.contains(address)) return;
    const QList<PicturePlace> places = picturesComing_.take(address);
    if (!bytes.isEmpty()) painter_->addPicture({bytes, places});
    if (picturesComing_.isEmpty()) painter_->finish();
}

}  // namespace zeravan::platform
