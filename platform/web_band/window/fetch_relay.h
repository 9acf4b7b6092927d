// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The band's relay to the network, which counts what the sites send.
#pragma once

#include <QNetworkProxy>
#include <QSet>
#include <QTcpServer>
#include <QUrl>

namespace zeravan::platform {

// The band's one way out to the network: a SOCKS5 relay on the loopback that the fetcher's
// network access is told to use, through which every byte the sites send passes, headers, TLS
// and all. Qt Network keeps every byte of a response's headers until they end and says nothing
// of them meanwhile; here they are counted as they come. The sites together may send what the
// fetches asked for allow; past that every connection is cut, and the fetch ends as an error.
// It serves only the client that knows its password, and goes only to the sites of those
// fetches: it is no way out for whoever else finds its port.
class FetchRelay final : public QObject {
    Q_OBJECT
public:
    explicit FetchRelay(QObject* parent);

    QNetworkProxy proxy() const;
    // One more fetch from that address's site, and the bytes it may bring.
    void allow(const QUrl& address, qint64 bytes);
    // Every connection is cut, and nothing more is allowed.
    void cut();

private:
    void relay(QTcpSocket* client);
    // Counts bytes a site sent; false once the sites have sent more than allowed.
    bool spend(qint64 bytes);

    QTcpServer server_;
    QByteArray password_;
    qint64 allowed_ = 0;
    QSet<QString> sites_;  // host:port, as a SOCKS5 client names them
};

}  // namespace zeravan::platform
