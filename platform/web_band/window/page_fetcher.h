// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The band's fetches of the page and its pictures, on a thread of their own.
#pragma once

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QUrl>

namespace zeravan::platform {

class FetchRelay;

// The band's network, made on a thread of its own and living there: the site's name looked up,
// the page and its pictures fetched with Qt Network, so that neither a name lookup nor TLS (the
// system's certificate store, its library loaded) ever runs on the window's thread. The view
// asks by queued calls and hears by queued signals, each for the page it was asked for (by its
// number). Every fetch is bounded in the bytes of its response's headers and body.
class PageFetcher final : public QObject {
    Q_OBJECT
public:
    // What a response's headers may take, all of them (Qt keeps every byte of them until they
    // end), and TLS beside the response (the site's certificates, each record's own bytes).
    static constexpr qint64 maxHeaderBytes = 64 << 10;
    static constexpr qint64 maxTlsBytes = 32 << 10;

    // The site's name is looked up first: a name that leads nowhere (no network, a placeholder
    // address) fails the page without loading the TLS library for an https address at all.
    void fetchPage(const QUrl& address, int number);
    // A picture of the page, not followed if it moves elsewhere.
    void fetchPicture(const QUrl& address, int number);
    // Every fetch is aborted, unheard.
    void stop();

signals:
    // The page's bytes, with the address they came from and their Content-Type.
    void pageFetched(int number, const QUrl& address, const QByteArray& bytes,
                     const QString& contentType);
    // Not there, not HTML, too big, or not all there before stop().
    void pageFailed(int number);
    // A picture's bytes; none when it could not be had.
    void pictureFetched(int number, const QUrl& address, const QByteArray& bytes);

private:
    QNetworkReply* fetch(const QUrl& address, qint64 maxBytes,
                         QNetworkRequest::RedirectPolicy redirects);

    QNetworkAccessManager* network_ = nullptr;  // made on the fetcher's thread, when first asked
    FetchRelay* relay_ = nullptr;               // the only way network_ goes out
    int number_ = 0;                            // the page being fetched; 0 once stopped
};

}  // namespace zeravan::platform
