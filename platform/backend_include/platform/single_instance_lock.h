// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <chrono>

#include "platform/single_instance_place.h"

namespace zeravan::platform {

// One running copy of the program per name: of the copies that claim the name, however many at
// once, the one that takes the lock file first keeps it while it runs; every other is turned
// away, and the one holding it hears that it was asked for.
class SingleInstanceLock : public QObject {
    Q_OBJECT
public:
    // A start that finds the lock taken asks its holder for up to `holderWait`: the holder may
    // not be listening yet.
    explicit SingleInstanceLock(SingleInstancePlace place,
                                std::chrono::milliseconds holderWait = std::chrono::seconds(10));

    enum class Claim {
        // This copy now holds the name.
        held,
        // Another copy of the same user holds it, and has been told someone asked for it.
        heldElsewhere,
        // The name cannot be held safely: unavailable() says why.
        unavailable,
    };
    Claim claim();

    const SingleInstanceProblem& whyUnavailable() const { return problem_; }

signals:
    // Another start asked for the copy holding the name.
    void askedFor();

private:
    Claim holdName();
    Claim lockCannotBeMade();
    Claim holderDoesNotAnswer();
    Claim askHolder();
    void answerAsks();

    QString name_;
    SingleInstanceProblem problem_;
    std::chrono::milliseconds holderWait_;
    // Released after the server has stopped listening: a start that takes the lock then finds
    // nobody at the name.
    QLockFile lock_;
    QLocalServer server_;
};

}  // namespace zeravan::platform
