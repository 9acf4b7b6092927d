// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "local_http_server.h"

#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

namespace zeravan::test {

LocalHttpServer::LocalHttpServer() {
    server_.listen(QHostAddress::LocalHost);
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

QUrl LocalHttpServer::url(const QString& path) const {
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path));
}

void LocalHttpServer::serve(QTcpSocket* socket) {
    if (!socket->canReadLine() || socket->property("served").toBool()) return;
    socket->setProperty("served", true);
    const QString path = QString::fromLatin1(socket->readLine().split(' ').value(1));
    requests << path;
    const Answer answer = answers_.value(path, Answer{404, "text/html", "<p>missing</p>"});
    if (answer.neverAnswer) return;
    if (answer.endlessHeaders) {
        socket->write("HTTP/1.0 200 X\r\nContent-Type: text/html\r\n");
        auto* more = new QTimer(socket);
        connect(more, &QTimer::timeout, socket, [socket] {
            if (socket->bytesToWrite() < (1 << 20))
                socket->write(QByteArray("X-A: b\r\n").repeated(1 << 17));
        });
        more->start(0);
        return;
    }
    const QByteArray location =
        answer.location.isEmpty() ? QByteArray() : "Location: " + answer.location + "\r\n";
    socket->write("HTTP/1.0 " + QByteArray::number(answer.status) +
                  " X\r\nContent-Type: " + answer.contentType + "\r\nContent-Length: " +
                  QByteArray::number(answer.body.size()) + "\r\n" + location + "\r\n");
    if (answer.dripMs == 0) {
        socket->write(answer.body);
        socket->disconnectFromHost();
        return;
    }
    auto* drip = new QTimer(socket);
    connect(drip, &QTimer::timeout, socket, [socket, body = answer.body, sent = 0]() mutable {
        if (sent < body.size()) socket->write(body.mid(sent++, 1));
    });
    drip->start(answer.dripMs);
}

}  // namespace zeravan::test
