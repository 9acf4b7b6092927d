// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// Where packages are replaced by the package manager, which asks running programs nothing: no
// request ever comes.
#include "platform/installer_requests.h"

namespace zeravan::platform {

namespace {

class NoInstallerRequests final : public InstallerRequests {
public:
    void answerWith(std::function<bool()> /*endIfAllowed*/) override {}
};

}  // namespace

std::unique_ptr<InstallerRequests> makeInstallerRequests() {
    return std::make_unique<NoInstallerRequests>();
}

}  // namespace zeravan::platform
