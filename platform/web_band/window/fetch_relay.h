// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QNetworkProxy>
#include <QTcpServer>

namespace zeravan::platform {

// The band's one way out to the network: a SOCKS5 relay on the loopback that the fetcher's
// network access is told to use, through which every byte the sites send passes, headers, TLS
// and all. Qt Network keeps every byte of a response's headers until they end and says nothing
// of them meanwhile; here they are counted as they come. The sites together may send what the
// fetches asked for allow; past that every connection is cut, and the fetch ends as an error.
class FetchRelay final : public QObject {
    Q_OBJECT
public:
    explicit FetchRelay(QObject* parent);

    QNetworkProxy proxy() const;
    // The bytes one more fetch may bring.
    void allow(qint64 bytes) { allowed_ += bytes; }
    // Every connection is cut, and nothing more is allowed.
    void cut();

private:
    void relay(QTcpSocket* client);
    bool mayConnect() const { return allowed_ > 0; }
    // Counts bytes a site sent; false once the sites have sent more than allowed.
    bool spend(qint64 bytes);

    QTcpServer server_;
    qint64 allowed_ = 0;
};

}  // namespace zeravan::platform
