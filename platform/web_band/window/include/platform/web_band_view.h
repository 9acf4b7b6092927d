// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The web band's page view: fetched, painted by the page painter and shown.
#pragma once

#include <QHash>
#include <QTextBrowser>
#include <QThread>
#include <QTimer>

#include "platform/link_opener.h"
#include "platform/page_paint_protocol.h"
#include "platform/page_view.h"

namespace zeravan::platform {

class PageFetcher;
class PagePainter;
class PagePictureView;

// A light web panel: the page and its pictures fetched with Qt Network on a thread of their
// own, read, laid out and painted by the page painter, a process of its own, and shown as the
// picture it makes, without border or scroll bars; its links open in the browser. The panel's
// own page, the program's fixed HTML, is a text browser's. Anything that goes wrong leaves the
// panel's own page. The fetch starts only once the panel has been painted on screen: the
// network stack (TLS, the name lookup) costs start-up time and memory that the window's first
// show need not wait on.
//
// The window reads nothing of the page: it hands the page's bytes and Content-Type to the
// painter, which decodes them, keeps what of the markup the band lays out (no scripts, style
// sheets or comments, limited nesting, no resource names but its own) and names the pictures
// the page asks for. The window fetches those of the page's own site (the painter takes the
// page's small data: addresses itself) and hands their bytes on. One deadline covers the whole
// fetch, page and pictures; the painter's own (PagePainter) each of its answers. What the page
// costs to read, lay out, paint and decode is paid in the painter, within its memory and time,
// never on the window's thread.
class WebBandView final : public PageView {
    Q_OBJECT
public:
    static constexpr int defaultTimeoutMs = 20000;

    // painterProgram: the page painter to start for each page (pagePainterProgram()).
    WebBandView(LinkOpener& links, QString painterProgram, QWidget* parent = nullptr,
                int timeoutMs = defaultTimeoutMs);
    ~WebBandView() override;

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
    void showOwnPage();
    void fetchPage();
    void paintPage(int number, const QUrl& address, const QByteArray& bytes,
                   const QString& contentType);
    void showPainted(const PaintAnswer& answer);
    void fail();
    void fetchPictures(const QList<PagePicture>& pictures);
    void paintPicture(int number, const QUrl& address, const QByteArray& bytes);

    LinkOpener& links_;
    QTextBrowser* browser_;
    PagePictureView* picture_;
    PagePainter* painter_;
    QThread networkThread_;
    PageFetcher* fetcher_;  // lives on networkThread_
    QTimer deadline_;       // from the page asked for to the last picture received
    QUrl pendingAddress_;   // navigated to, not yet fetched
    QUrl pageAddress_;      // the page shown, which its relative links resolve against
    bool painted_ = false;
    bool settled_ = false;  // the page is shown, or has failed
    int pageNumber_ = 0;    // counts the pages navigated to
    // Each picture of the page's site still being fetched, and where the page shows it.
    QHash<QUrl, QList<PicturePlace>> picturesComing_;
};

}  // namespace zeravan::platform
