// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "platform/single_instance_lock.h"

#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QThread>

namespace zeravan::platform {

namespace {
constexpr int answerWaitMs = 2000;
// How soon a start that found the lock taken asks its holder again.
constexpr unsigned long askAgainAfterMs = 25;
}  // namespace

SingleInstanceLock::SingleInstanceLock(SingleInstancePlace place,
                                       std::chrono::milliseconds holderWait)
    : name_(std::move(place.name)),
      problem_(std::move(place.problem)),
      holderWait_(holderWait),
      lock_(place.lockFile) {
    // Stale only when the copy that took it has ended, however old: the clock may move while the
    // program runs.
    lock_.setStaleLockTime(0);
    // Only the same user can reach the lock: another user's start makes its own program.
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, &SingleInstanceLock::answerAsks);
}

// The lock file decides which of the starts racing for the name holds it: taking it is atomic,
// while listening is not (Qt binds elsewhere and renames over whatever is at the name).
SingleInstanceLock::Claim SingleInstanceLock::claim() {
    if (name_.isEmpty()) return Claim::unavailable;
    const QDeadlineTimer giveUp(holderWait_);
    while (!lock_.tryLock(0)) {
        if (lock_.error() != QLockFile::LockFailedError) return lockCannotBeMade();
        // Its holder may have taken it a moment ago and not be listening yet, or be ending: it
        // stops listening before it lets the lock go.
        const Claim asked = askHolder();
        if (asked != Claim::held) return asked;
        if (giveUp.hasExpired()) {
            // A lock left by a copy whose process id has come round to another copy of the
            // program looks held; it is free when no process keeps it open (locked, on Linux).
            if (lock_.removeStaleLockFile() && lock_.tryLock(0)) break;
            return holderDoesNotAnswer();
        }
        QThread::msleep(askAgainAfterMs);
    }
    return holdName();
}

SingleInstanceLock::Claim SingleInstanceLock::lockCannotBeMade() {
    const std::string lockFile = lock_.fileName().toStdString();
    problem_ = {"无法创建锁文件 " + lockFile, "the lock file " + lockFile + " cannot be made"};
    return Claim::unavailable;
}

SingleInstanceLock::Claim SingleInstanceLock::holderDoesNotAnswer() {
    const std::string lockFile = lock_.fileName().toStdString();
    const std::string seconds =
        QString::number(std::chrono::duration<double>(holderWait_).count()).toStdString();
    problem_ = {"锁文件 " + lockFile + " 被另一份程序占用，但它在 " + seconds + " 秒内没有应答",
                "the lock file " + lockFile +
                    " is held by another copy that did not answer within " + seconds + " s"};
    return Claim::unavailable;
}

// With the lock taken: a copy that runs without the lock file (one from before there was one)
// still answers at the name and keeps it.
SingleInstanceLock::Claim SingleInstanceLock::holdName() {
    const Claim asked = askHolder();
    if (asked != Claim::held) {
        lock_.unlock();
        return asked;
    }
    // Nobody answers: a copy that ended without cleaning up may have left its socket behind.
    QLocalServer::removeServer(name_);
    if (server_.listen(name_)) return Claim::held;
    lock_.unlock();
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
