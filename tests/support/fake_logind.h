// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#pragma once

#include "fake_service.h"

namespace zeravan::test {

// The fake_logind executable on a private bus, as its system bus, started with the given options
// (e.g. "--refuse=org.freedesktop.DBus.Error.AccessDenied", "--delay-ms=300"). Its calls() read
// e.g. "PowerOff true", "Terminate auto", "CanPowerOff".
class FakeLogind : public FakeService {
public:
    explicit FakeLogind(const PrivateBus& bus, const QStringList& options = {});
};

}  // namespace zeravan::test
