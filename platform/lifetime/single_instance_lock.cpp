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

SingleInstanceLock::SingleInstanceLock(std::vector<SingleInstancePlace> places,
                                       std::chrono::milliseconds holderWait)
    : places_(std::move(places)), holderWait_(holderWait) {
    // Only the same user can reach the lock: another user's start makes its own program.
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, &SingleInstanceLock::answerAsks);
}

SingleInstanceLock::Claim SingleInstanceLock::claim() {
    problem_ = {};
    for (const SingleInstancePlace& place : places_) {
        if (place.name.isEmpty()) {
            noteProblem(place.problem);
            continue;
        }
        switch (claimAt(place)) {
            case AtPlace::held:
                return Claim::held;
            case AtPlace::heldElsewhere:
                return Claim::heldElsewhere;
            case AtPlace::holderSilent:
                return Claim::unavailable;
            case AtPlace::unusable:
                break;
        }
    }
    return Claim::unavailable;
}

// The lock file decides which of the starts racing for the name holds it: taking it is atomic,
// while listening is not (Qt binds elsewhere and renames over whatever is at the name).
SingleInstanceLock::AtPlace SingleInstanceLock::claimAt(const SingleInstancePlace& place) {
    lock_ = std::make_unique<QLockFile>(place.lockFile);
    // Stale only when the copy that took it has ended, however old: the clock may move while the
    // program runs.
    lock_->setStaleLockTime(0);
    const QDeadlineTimer giveUp(holderWait_);
    while (!lock_->tryLock(0)) {
        if (lock_->error() != QLockFile::LockFailedError) return lockCannotBeMade();
        // A lock left by a process that cannot be a copy of this program (its process id has
        // come round to another program) is taken over at once.
        if (removeLockOfNoCopy(*lock_)) continue;
        // Its holder may have taken it a moment ago and not be listening yet, or be ending: it
        // stops listening before it lets the lock go.
        const AtPlace asked = askHolder(place.name);
        if (asked != AtPlace::held) return asked;
        if (giveUp.hasExpired()) {
            // A lock left by a copy whose process id has come round to another copy of the
            // program looks held; it is free when no process keeps it open (locked, on Linux).
            if (lock_->removeStaleLockFile() && lock_->tryLock(0)) break;
            return holderDoesNotAnswer();
        }
        QThread::msleep(askAgainAfterMs);
    }
    return holdName(place);
}

SingleInstanceLock::AtPlace SingleInstanceLock::lockCannotBeMade() {
    const std::string lockFile = lock_->fileName().toStdString();
    noteProblem({"无法创建锁文件 " + lockFile, "the lock file " + lockFile + " cannot be made"});
    return AtPlace::unusable;
}

SingleInstanceLock::AtPlace SingleInstanceLock::holderDoesNotAnswer() {
    const std::string lockFile = lock_->fileName().toStdString();
    const std::string seconds =
        QString::number(std::chrono::duration<double>(holderWait_).count()).toStdString();
    noteProblem({"锁文件 " + lockFile + " 被另一份程序占用，但它在 " + seconds + " 秒内没有应答",
                 "the lock file " + lockFile +
                     " is held by another copy that did not answer within " + seconds + " s"});
    return AtPlace::holderSilent;
}

// With the lock taken: a copy that runs without the lock file (one from before there was one),
// or one holding the name at another place (whose first place could not take the lock file
// then), still answers and keeps it.
SingleInstanceLock::AtPlace SingleInstanceLock::holdName(const SingleInstancePlace& place) {
    for (const SingleInstancePlace& other : places_) {
        if (other.name.isEmpty()) continue;
        const AtPlace asked = askHolder(other.name);
        if (asked == AtPlace::held) continue;
        lock_->unlock();
        return asked;
    }
    // Nobody answers: a copy that ended without cleaning up may have left its socket behind.
    QLocalServer::removeServer(place.name);
    if (server_.listen(place.name)) return AtPlace::held;
    lock_->unlock();
    const std::string error = server_.errorString().toStdString();
    const std::string name = place.name.toStdString();
    noteProblem(
        {"无法占用名称 " + name + "：" + error, "cannot hold the name " + name + ": " + error});
    return AtPlace::unusable;
}

// Connecting is the whole request; the holder answers by closing. Held means nobody answered.
SingleInstanceLock::AtPlace SingleInstanceLock::askHolder(const QString& name) {
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(answerWaitMs)) return AtPlace::held;
    // Whoever answers there must be this user's copy; another user's would turn every start away.
    if (!peerIsSameUser(socket.socketDescriptor())) {
        const std::string text = name.toStdString();
        noteProblem({"另一个用户占用了名称 " + text, "another user holds the name " + text});
        return AtPlace::unusable;
    }
    if (socket.state() == QLocalSocket::ConnectedState) socket.waitForDisconnected(answerWaitMs);
    return AtPlace::heldElsewhere;
}

// Each place that could not be used adds its reason.
void SingleInstanceLock::noteProblem(const SingleInstanceProblem& problem) {
    if (!problem_.english.empty()) {
        problem_.chinese += "；";
        problem_.english += "; ";
    }
    problem_.chinese += problem.chinese;
    problem_.english += problem.english;
}

void SingleInstanceLock::answerAsks() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        socket->disconnectFromServer();
        emit askedFor();
    }
}

}  // namespace zeravan::platform
