// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "platform/single_instance_lock.h"

#include <QLocalSocket>

namespace zeravan::platform {

namespace {
constexpr int answerWaitMs = 2000;
}

SingleInstanceLock::SingleInstanceLock(SingleInstancePlace place)
    : name_(std::move(place.name)), problem_(std::move(place.problem)) {
    // Only the same user can reach the lock: another user's start makes its own program.
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, &SingleInstanceLock::answerAsks);
}

// Asks before listening: listening on a name another copy holds would take it over.
SingleInstanceLock::Claim SingleInstanceLock::claim() {
    if (name_.isEmpty()) return Claim::unavailable;
    const Claim asked = askHolder();
    if (asked != Claim::held) return asked;
    // Nobody answers on the name: a copy that ended without cleaning up may have left it behind.
    QLocalServer::removeServer(name_);
    if (server_.listen(name_)) return Claim::held;
    const std::string error = server_.errorString().toStdString();
    const std::string name = name_.toStdString();
    problem_ = {"无法占用名称 " + name + "：" + error,
                "cannot hold the name " + name + ": " + error};
    return Claim::unavailable;
}

// Connecting is the whole request; the holder answers by closing. Held means nobody answered.
SingleInstanceLock::Claim SingleInstanceLock::askHolder() {
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(answerWaitMs)) return Claim::held;
    // Whoever answers there must be this user's copy; another user's would turn every start away.
    if (!peerIsSameUser(socket.socketDescriptor())) {
        const std::string name = name_.toStdString();
        problem_ = {"另一个用户占用了名称 " + name, "another user holds the name " + name};
        return Claim::unavailable;
    }
    if (socket.state() == QLocalSocket::ConnectedState) socket.waitForDisconnected(answerWaitMs);
    return Claim::heldElsewhere;
}

void SingleInstanceLock::answerAsks() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        socket->disconnectFromServer();
        emit askedFor();
    }
}

}  // namespace zeravan::platform
