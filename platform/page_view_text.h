// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QNetworkAccessManager>
#include <QPointer>
#include <QTextBrowser>

#include "platform/link_opener.h"
#include "platform/page_view.h"

namespace zeravan::platform {

// A light web panel: the page's HTML and images fetched with Qt Network and shown in a text
// browser without border or scroll bars. Anything that goes wrong leaves the panel's own page.
// The fetch starts only once the panel has been painted on screen: the network stack (TLS,
// the name lookup) costs start-up time and memory that the window's first show need not wait on.
class TextPageView final : public PageView {
    Q_OBJECT
public:
    static constexpr qint64 maxPageBytes = 1 << 20;
    static constexpr qint64 maxImageBytes = 4 << 20;
    static constexpr int maxImages = 16;
    static constexpr int defaultTimeoutMs = 15000;

    TextPageView(QNetworkAccessManager& network, LinkOpener& links, QWidget* parent = nullptr,
                 int timeoutMs = defaultTimeoutMs);

    void Navigate(const QUrl& address) override;
    QTextBrowser& browser() { return *browser_; }

signals:
    // The page (and each image) has arrived and is shown; for whoever waits on it.
    void pageShown();
    void imageShown();
    void pageFailed();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fetchPage();
    QNetworkReply* fetch(const QUrl& address, qint64 maxBytes);
    void showPage(QNetworkReply* reply);
    void fetchImages(const QUrl& base);
    void showImage(QNetworkReply* reply, const QString& name);

    QNetworkAccessManager& network_;
    LinkOpener& links_;
    QTextBrowser* browser_;
    int timeoutMs_;
    QUrl pendingAddress_;  // navigated to, not yet fetched
    bool painted_ = false;
};

}  // namespace zeravan::platform
