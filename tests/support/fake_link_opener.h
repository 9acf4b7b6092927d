// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The browser a test hands the band and the windows: it records each address it is asked to open.
#pragma once

#include <QList>
#include <QUrl>

#include "platform/link_opener.h"

namespace zeravan::test {

class FakeLinkOpener final : public platform::LinkOpener {
public:
    QList<QUrl> opened;
    void open(const QUrl& address) override { opened << address; }
};

}  // namespace zeravan::test
