// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The installer's requests that the running program end before its files change.
#pragma once

#include <functional>
#include <memory>

namespace zeravan::platform {

// Requests from the installer and the uninstaller, which replace or remove the program's files,
// that the running program end first. Each request is answered at once.
class InstallerRequests {
public:
    virtual ~InstallerRequests() = default;

    // From now on each request is answered by `endIfAllowed`: true when the program agrees and
    // is ending, false when it stays.
    virtual void answerWith(std::function<bool()> endIfAllowed) = 0;
};

// The requests of the system the program was built for; each backend defines it.
std::unique_ptr<InstallerRequests> makeInstallerRequests();

}  // namespace zeravan::platform
