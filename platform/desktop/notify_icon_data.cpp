// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "platform/notify_icon_data.h"

namespace zeravan::platform {

QString NotifyIconData::shownTip() const {
    const qsizetype end = szTip.indexOf(QChar(0));
    return end < 0 ? szTip : szTip.left(end);
}

}  // namespace zeravan::platform
