// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QtGlobal>
#include <string>

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

// The place for this user and the desktop session named by `session`.
SingleInstancePlace findSingleInstancePlace(const std::string& session);

// Whether the other end of a connected local socket (a descriptor or, on Windows, a pipe handle)
// runs as the same user as this program.
bool peerIsSameUser(qintptr socketDescriptor);

}  // namespace zeravan::platform
