// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "fake_logind.h"

namespace zeravan::test {

FakeLogind::FakeLogind(const PrivateBus& bus, const QStringList& options)
    : FakeService(QStringLiteral(ZERAVAN_FAKE_LOGIND), "DBUS_SYSTEM_BUS_ADDRESS", bus, options) {}

}  // namespace zeravan::test
