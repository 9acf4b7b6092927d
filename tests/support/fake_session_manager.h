// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#pragma once

#include "fake_service.h"

namespace zeravan::test {

// The fake_session_manager executable on a private bus, as its session bus, acting as the
// session manager of one desktop ("gnome", "kde", "xfce" ...). Its calls() read
// "<service> <method> <arguments>", e.g. "org.xfce.SessionManager Shutdown true".
class FakeSessionManager : public FakeService {
public:
    FakeSessionManager(const PrivateBus& bus, const QString& kind, const QStringList& options = {});
};

}  // namespace zeravan::test
