// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// Where the single-instance lock lives, and what can keep it from being taken.
#pragma once

#include <QLockFile>
#include <QString>
#include <QtGlobal>
#include <string>
#include <vector>

namespace zeravan::platform {

// Why the program cannot make sure that only one copy runs, in Chinese and in English.
struct SingleInstanceProblem {
    std::string chinese;
    std::string english;
};

// Where the running copy of one user in one desktop session holds its name: a name that no other
// user can take first and the lock file that decides which start gets it, or, when there is
// none, why not.
struct SingleInstancePlace {
    QString name;
    QString lockFile;
    SingleInstanceProblem problem;
};

// The places for this user and the desktop session named by `session`, in the order every start
// tries them: the next is used only where the lock file cannot be made in the one before.
std::vector<SingleInstancePlace> findSingleInstancePlaces(const std::string& session);

// Removes the lock file of `lock`, not held by it, when its record names no copy of this program
// (the process is another user's, has ended, runs another program or started after the record
// was written), and says whether it did. A record that cannot be read yet may be being written.
bool removeLockOfNoCopy(QLockFile& lock);

// Whether the other end of a connected local socket (a descriptor or, on Windows, a pipe handle)
// runs as the same user as this program.
bool peerIsSameUser(qintptr socketDescriptor);

}  // namespace zeravan::platform
