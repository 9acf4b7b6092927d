// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

#include "platform/single_instance_place.h"

namespace zeravan::platform {

// One running copy of the program per name: the first copy to claim the name keeps it while it
// runs; a later copy that tries is turned away, and the first hears that it was asked for.
class SingleInstanceLock : public QObject {
    Q_OBJECT
public:
    explicit SingleInstanceLock(SingleInstancePlace place);

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
    Claim askHolder();
    void answerAsks();

    QString name_;
    SingleInstanceProblem problem_;
    QLocalServer server_;
};

}  // namespace zeravan::platform
