// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "platform/single_instance_lock.h"

#include <QLocalSocket>

namespace zeravan::platform {

namespace {
constexpr int answerWaitMs = 2000;
}

SingleInstanceLock::SingleInstanceLock(QString name) : name_(std::move(name)) {
    // Only the same user can reach the lock: another user's start makes its own program.
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, &SingleInstanceLock::answerAsks);
}

// Asks before listening: listening on a name another copy holds would take it over.
bool SingleInstanceLock::claim() {
    if (askHolder()) return false;
    // Nobody answers on the name: a copy that ended without cleaning up may have left it behind.
    QLocalServer::removeServer(name_);
    // Should the name still not be ours, a program that runs beats one that refuses to start.
    server_.listen(name_);
    return true;
}

// Connecting is the whole request; the holder answers by closing.
bool SingleInstanceLock::askHolder() {
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(answerWaitMs)) return false;
    if (socket.state() == QLocalSocket::ConnectedState) socket.waitForDisconnected(answerWaitMs);
    return true;
}

void SingleInstanceLock::answerAsks() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        socket->disconnectFromServer();
        emit askedFor();
    }
}

}  // namespace zeravan::platform
