// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QHash>
#include <QStringList>
#include <QTcpServer>

namespace zeravan::test {

// A tiny HTTP/1.0 server on 127.0.0.1 for the web panel's tests: each path answers as told,
// and every request's path is recorded.
class LocalHttpServer : public QObject {
    Q_OBJECT
public:
    struct Answer {
        int status = 200;
        QByteArray contentType = "text/html; charset=utf-8";
        QByteArray body;
        bool neverAnswer = false;
        int dripMs = 0;            // when set, the body goes out one byte at a time, this far apart
        QByteArray location = {};  // for a redirect
        bool endlessHeaders = false;  // header lines, as fast as they go, never ending
    };

    LocalHttpServer();
    void answer(const QString& path, Answer answer) { answers_.insert(path, std::move(answer)); }
    QUrl url(const QString& path) const;
    QStringList requests;

private:
    void serve(QTcpSocket* socket);

    QTcpServer server_;
    QHash<QString, Answer> answers_;
};

}  // namespace zeravan::test
