// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The port through which the windows open web addresses.
#pragma once

#include <QUrl>

namespace zeravan::platform {

// Hands a web address to the user's browser without waiting for it.
class LinkOpener {
public:
    virtual ~LinkOpener() = default;
    virtual void open(const QUrl& address) = 0;
};

}  // namespace zeravan::platform
