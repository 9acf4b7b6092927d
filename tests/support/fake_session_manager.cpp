// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "fake_session_manager.h"

namespace zeravan::test {

FakeSessionManager::FakeSessionManager(const PrivateBus& bus, const QString& kind,
                                       const QStringList& options)
    : FakeService(QStringLiteral(ZERAVAN_FAKE_SESSION_MANAGER), "DBUS_SESSION_BUS_ADDRESS", bus,
                  QStringList{QStringLiteral("--kind=") + kind} << options) {}

}  // namespace zeravan::test
