// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "page_fetcher.h"

#include <QHostInfo>

#include "fetch_relay.h"

#include "platform/page_paint_protocol.h"

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

}  // namespace

void PageFetcher::fetchPage(const QUrl& address, int number) {
    stop();
    number_ = number;
    QHostInfo::lookupHost(address.host(), this, [this, address, number](const QHostInfo& host) {
        if (number != number_) return;
        if (host.error() != QHostInfo::NoError || host.addresses().isEmpty()) {
            emit pageFailed(number);
            return;
        }
        QNetworkReply* reply =
            fetch(address, maxPageBytes, QNetworkRequest::NoLessSafeRedirectPolicy);
        connect(reply, &QNetworkReply::finished, this, [this, reply, number] {
            reply->deleteLater();
            if (number != number_) return;
            const QByteArray bytes = reply->readAll();
            if (!succeeded(reply) || mediaType(reply) != QLatin1String("text/html") ||
                bytes.size() > maxPageBytes) {
                emit pageFailed(number);
                return;
            }
            emit pageFetched(number, reply->url(), bytes, contentType(reply));
        });
    });
}

void PageFetcher::fetchPicture(const QUrl& address, int number) {
    if (number != number_) return;
    QNetworkReply* reply = fetch(address, maxPictureBytes, QNetworkRequest::ManualRedirectPolicy);
    connect(reply, &QNetworkReply::finished, this, [this, reply, number, address] {
        reply->deleteLater();
        if (number != number_) return;
        emit pictureFetched(number, address, succeeded(reply) ? reply->readAll() : QByteArray());
    });
}

void PageFetcher::stop() {
    number_ = 0;
    if (network_ == nullptr) return;
    for (QNetworkReply* reply : network_->findChildren<QNetworkReply*>()) reply->abort();
    relay_->cut();
}

// A bounded fetch: one whose body grows past its limit is aborted and ends as an error; so does
// every fetch once the sites have sent more than all of them together may bring, headers and
// TLS included.
QNetworkReply* PageFetcher::fetch(const QUrl& address, qint64 maxBytes,
                                  QNetworkRequest::RedirectPolicy redirects) {
    if (network_ == nullptr) {
        relay_ = new FetchRelay(this);
        network_ = new QNetworkAccessManager(this);
        network_->setProxy(relay_->proxy());
    }
    relay_->allow(address, maxBytes + maxHeaderBytes + maxTlsBytes);
    QNetworkRequest request(address);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, redirects);
    QNetworkReply* reply = network_->get(request);
    // A redirect followed is another response from another site, perhaps.
    connect(reply, &QNetworkReply::redirected, relay_,
            [relay = relay_](const QUrl& to) { relay->allow(to, maxHeaderBytes + maxTlsBytes); });
    connect(reply, &QNetworkReply::downloadProgress, reply,
            [reply, maxBytes](qint64 received, qint64 total) {
                if (received > maxBytes || total > maxBytes) reply->abort();
            });
    return reply;
}

}  // namespace zeravan::platform
