// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "fetch_relay.h"

#include <QRandomGenerator>
#include <QTcpSocket>
#include <QtEndian>

namespace zeravan::platform {

namespace {

// What SOCKS5 (RFC 1928) asks of a relay that Qt Network uses: a user name and password
// (RFC 1929), CONNECT.
constexpr char socksVersion = 5;
constexpr char passwordAuthentication = 2;
constexpr char passwordVersion = 1;
constexpr char connectCommand = 1;
constexpr char ipv4Address = 1;
constexpr char hostName = 3;
constexpr char ipv6Address = 4;
const QByteArray passwordChosen("\x05\x02", 2);
const QByteArray passwordAccepted("\x01\x00", 2);
const QByteArray passwordRefused("\x01\x01", 2);
const QByteArray succeeded("\x05\x00\x00\x01\0\0\0\0\0\0", 10);
const QByteArray notAllowed("\x05\x02\x00\x01\0\0\0\0\0\0", 10);
const QByteArray hostUnreachable("\x05\x04\x00\x01\0\0\0\0\0\0", 10);

// Where a CONNECT request asks to go, read from its bytes: nothing while they are not all
// there, an empty host for a request that is not one.
struct Target {
    QString host;
    quint16 port = 0;
    qsizetype length = 0;  // of the request
};

QString siteName(const QString& host, int port) {
    return host.toLower() + QLatin1Char(':') + QString::number(port);
}

std::optional<Target> connectTarget(const QByteArray& bytes) {
    if (bytes.size() < 5) return std::nullopt;
    if (bytes[0] != socksVersion || bytes[1] != connectCommand) return Target{};
    const char type = bytes[3];
    qsizetype addressLength = 0;
    if (type == ipv4Address) addressLength = 4;
    if (type == ipv6Address) addressLength = 16;
    if (type == hostName) addressLength = 1 + quint8(bytes[4]);
    if (addressLength == 0) return Target{};
    const qsizetype length = 4 + addressLength + 2;
    if (bytes.size() < length) return std::nullopt;
    const char* address = bytes.constData() + 4;
    Target target{{}, qFromBigEndian<quint16>(address + addressLength), length};
    if (type == hostName) {
        target.host = QString::fromLatin1(address + 1, addressLength - 1);
    } else {
        QHostAddress ip;
        if (type == ipv4Address) ip.setAddress(qFromBigEndian<quint32>(address));
        if (type == ipv6Address) ip.setAddress(reinterpret_cast<const quint8*>(address));
        target.host = ip.toString();
    }
    return target;
}

// The client's greeting, whole: it must offer a user name and password.
std::optional<bool> greetingAccepted(const QByteArray& bytes) {
    if (bytes.size() < 2) return std::nullopt;
    const qsizetype length = 2 + quint8(bytes[1]);
    if (bytes.size() < length) return std::nullopt;
    return bytes[0] == socksVersion && bytes.mid(2, length - 2).contains(passwordAuthentication);
}

// The client's user name and password, whole: the password, and its length in bytes.
std::optional<std::pair<QByteArray, qsizetype>> credentials(const QByteArray& bytes) {
    if (bytes.size() < 2) return std::nullopt;
    const qsizetype nameEnd = 2 + quint8(bytes[1]);
    if (bytes.size() < nameEnd + 1) return std::nullopt;
    const qsizetype length = nameEnd + 1 + quint8(bytes[nameEnd]);
    if (bytes.size() < length) return std::nullopt;
    if (bytes[0] != passwordVersion) return std::make_pair(QByteArray(), length);
    return std::make_pair(bytes.mid(nameEnd + 1, length - nameEnd - 1), length);
}

}  // namespace

// The password is this relay's alone: other users of the machine reach the loopback too.
FetchRelay::FetchRelay(QObject* parent)
    : QObject(parent),
      password_(QByteArray::number(QRandomGenerator::system()->generate64(), 36) +
                QByteArray::number(QRandomGenerator::system()->generate64(), 36)) {
    server_.listen(QHostAddress::LocalHost);
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* client = server_.nextPendingConnection()) relay(client);
    });
}

QNetworkProxy FetchRelay::proxy() const {
    return {QNetworkProxy::Socks5Proxy, server_.serverAddress().toString(), server_.serverPort(),
            QStringLiteral("zeravan"), QString::fromLatin1(password_)};
}

void FetchRelay::allow(const QUrl& address, qint64 bytes) {
    const int defaultPort = address.scheme() == QLatin1String("https") ? 443 : 80;
    sites_.insert(
        siteName(QString::fromLatin1(QUrl::toAce(address.host())), address.port(defaultPort)));
    allowed_ += bytes;
}

void FetchRelay::cut() {
    allowed_ = 0;
    sites_.clear();
    for (QTcpSocket* client : server_.findChildren<QTcpSocket*>(Qt::FindDirectChildrenOnly)) {
        client->abort();
    }
}

bool FetchRelay::spend(qint64 bytes) {
    allowed_ -= bytes;
    if (allowed_ >= 0) return true;
    cut();
    return false;
}

// The client greets, asks where to go, and from then on the relay carries bytes both ways. The
// site's socket is the client's child: both go when the client does.
void FetchRelay::relay(QTcpSocket* client) {
    auto* site = new QTcpSocket(client);
    connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater);
    connect(client, &QTcpSocket::disconnected, site, &QTcpSocket::abort);
    connect(site, &QTcpSocket::disconnected, client, &QTcpSocket::disconnectFromHost);
    // A site that cannot be reached is the client's answer; once reached, its end is the end.
    connect(site, &QTcpSocket::errorOccurred, client, [client] {
        client->write(hostUnreachable);
        client->disconnectFromHost();
    });
    connect(site, &QTcpSocket::connected, client, [client, site] {
        disconnect(site, &QTcpSocket::errorOccurred, client, nullptr);
        client->write(succeeded);
        site->write(client->readAll());
    });
    connect(site, &QTcpSocket::readyRead, client, [this, client, site] {
        const QByteArray bytes = site->readAll();
        if (spend(bytes.size())) client->write(bytes);
    });
    enum class Step { greeting, password, request };
    connect(client, &QTcpSocket::readyRead, site,
            [this, client, site, step = Step::greeting]() mutable {
                if (site->state() == QAbstractSocket::ConnectedState) {
                    site->write(client->readAll());
                    return;
                }
                if (site->state() != QAbstractSocket::UnconnectedState) return;
                if (step == Step::greeting) {
                    const QByteArray bytes = client->peek(client->bytesAvailable());
                    const std::optional<bool> accepted = greetingAccepted(bytes);
                    if (!accepted) return;
                    if (!*accepted) return client->abort();
                    client->skip(2 + quint8(bytes[1]));
                    client->write(passwordChosen);
                    step = Step::password;
                }
                if (step == Step::password) {
                    const auto given = credentials(client->peek(client->bytesAvailable()));
                    if (!given) return;
                    client->skip(given->second);
                    if (given->first != password_) {
                        client->write(passwordRefused);
                        return client->disconnectFromHost();
                    }
                    client->write(passwordAccepted);
                    step = Step::request;
                }
                const std::optional<Target> target =
                    connectTarget(client->peek(client->bytesAvailable()));
                if (!target) return;
                if (target->host.isEmpty()) return client->abort();
                if (allowed_ <= 0 || !sites_.contains(siteName(target->host, target->port))) {
                    client->write(notAllowed);
                    return client->disconnectFromHost();
                }
                client->skip(target->length);
                site->connectToHost(target->host, target->port);
            });
}

}  // namespace zeravan::platform
