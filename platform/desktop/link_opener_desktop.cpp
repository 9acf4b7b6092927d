// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "platform/link_opener_desktop.h"

#include <QDesktopServices>

namespace zeravan::platform {

void DesktopLinkOpener::open(const QUrl& address) {
    QDesktopServices::openUrl(address);
}

}  // namespace zeravan::platform
