// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QNetworkAccessManager>
#include <QTextBrowser>
#include <QTimer>

#include "platform/link_opener.h"
#include "platform/page_paint_protocol.h"
#include "platform/page_sanitizer.h"
#include "platform/page_view.h"

namespace zeravan::platform {

class PagePainter;
class PagePictureView;

// A light web panel: the page's HTML and pictures fetched with Qt Network, laid out and painted
// by the page painter, a process of its own, and shown as the picture it makes, without border
// or scroll bars; its links open in the browser. The panel's own page is a text browser's.
// Anything that goes wrong leaves the panel's own page. The fetch starts only once the panel
// has been painted on screen: the network stack (TLS, the name lookup) costs start-up time and
// memory that the window's first show need not wait on.
//
// The panel shows only what the page brought. What reaches the layout is the page rewritten by
// sanitizePage (no scripts, style sheets or comments, limited nesting, no resource names but
// ours), in a document that loads nothing by itself. Pictures come over HTTP(S) from the page's
// own site or from small data: addresses, a few of them, each decoded once at the size shown
// and only in the formats the painter knows by their first bytes. One deadline covers the whole
// fetch, page and pictures; the painter's own (PagePainter) each of its answers. What the page
// costs to lay out, paint and decode is paid in the painter, within its memory and time, never
// on the window's thread.
class TextPageView final : public PageView {
    Q_OBJECT
public:
    static constexpr qint64 maxPageBytes = 1 << 20;
    static constexpr qint64 maxImageBytes = 512 << 10;
    static constexpr qint64 maxDataImageBytes = 16 << 10;
    static constexpr int defaultTimeoutMs = 20000;

    // painterProgram: the page painter to start for each page (pagePainterProgram()).
    TextPageView(QNetworkAccessManager& network, LinkOpener& links, QString painterProgram,
                 QWidget* parent = nullptr, int timeoutMs = defaultTimeoutMs);

    void Navigate(const QUrl& address) override;
    // The browser of the panel's own page, whose links are the panel's: a link of the page
    // shown is clicked through it.
    QTextBrowser& browser() { return *browser_; }
    // The text the panel shows: its own page's, or the page's.
    QString shownText() const;

signals:
    // The page (and each picture) has arrived and is shown; for whoever waits on it.
    void pageShown();
    void imageShown();
    // The page could not be had, or was not one to lay out: the own page stays.
    void pageFailed();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showHtml(const QString& html);
    void fetchPage();
    QNetworkReply* fetch(const QUrl& address, qint64 maxBytes,
                         QNetworkRequest::RedirectPolicy redirects);
    void showPage(QNetworkReply* reply);
    void showPainted(const PaintAnswer& answer);
    void fail();
    void fetchImages(const QUrl& page, const std::vector<PageImage>& images);
    void paintImage(const QByteArray& bytes, const QList<std::pair<std::size_t, QSize>>& places);

    QNetworkAccessManager& network_;
    LinkOpener& links_;
    QTextBrowser* browser_;
    PagePictureView* picture_;
    PagePainter* painter_;
    QTimer deadline_;      // from the page asked for to the last picture received
    QUrl pendingAddress_;  // navigated to, not yet fetched
    QUrl pageAddress_;     // the page shown, which its relative links resolve against
    bool painted_ = false;
    bool settled_ = false;  // the page is shown, or has failed
    int pageNumber_ = 0;    // counts the pages navigated to
    int imagesComing_ = 0;  // pictures of the page's site still being fetched
};

}  // namespace zeravan::platform
