// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The lock that keeps one running copy of the program per user and session.
#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <chrono>
#include <memory>
#include <vector>

#include "platform/single_instance_place.h"

namespace zeravan::platform {

// One running copy of the program per name: of the copies that claim the name, however many at
// once, the one that takes the lock file first keeps it while it runs; every other is turned
// away, and the one holding it hears that it was asked for. Where the lock file of the first
// place cannot be made, the next place is tried, and a copy holding the name at any of them
// turns the start away.
class SingleInstanceLock : public QObject {
    Q_OBJECT
public:
    // A start that finds the lock taken asks its holder for up to `holderWait`: the holder may
    // not be listening yet.
    explicit SingleInstanceLock(std::vector<SingleInstancePlace> places,
                                std::chrono::milliseconds holderWait = std::chrono::seconds(10));

    enum class Claim {
        // This copy now holds the name.
        held,
        // Another copy of the same user holds it, and has been told someone asked for it.
        heldElsewhere,
        // The name cannot be held safely at any place, or its holder does not answer:
        // whyUnavailable() says why.
        unavailable,
    };
    Claim claim();

    const SingleInstanceProblem& whyUnavailable() const { return problem_; }

signals:
    // Another start asked for the copy holding the name.
    void askedFor();

private:
    // What became of a claim at one place: `unusable` lets the next place be tried.
    enum class AtPlace { held, heldElsewhere, unusable, holderSilent };
    AtPlace claimAt(const SingleInstancePlace& place);
    AtPlace holdName(const SingleInstancePlace& place);
    AtPlace lockCannotBeMade();
    AtPlace holderDoesNotAnswer();
    AtPlace askHolder(const QString& name);
    void noteProblem(const SingleInstanceProblem& problem);
    void answerAsks();

    std::vector<SingleInstancePlace> places_;
    SingleInstanceProblem problem_;
    std::chrono::milliseconds holderWait_;
    // Released after the server has stopped listening: a start that takes the lock then finds
    // nobody at the name.
    std::unique_ptr<QLockFile> lock_;
    QLocalServer server_;
};

}  // namespace zeravan::platform
