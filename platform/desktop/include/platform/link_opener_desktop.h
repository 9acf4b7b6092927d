// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The link opener that hands addresses to the user's default browser.
#pragma once

#include "platform/link_opener.h"

namespace zeravan::platform {

// The user's default browser: xdg-open on Linux, the shell on Windows. The address travels as
// one argument, never through a command line that a shell would parse.
class DesktopLinkOpener final : public LinkOpener {
public:
    void open(const QUrl& address) override;
};

}  // namespace zeravan::platform
