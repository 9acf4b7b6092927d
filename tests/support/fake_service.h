// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include "private_bus.h"

namespace zeravan::test {

// A fake D-Bus service executable on a private bus, started with a --log file of its own and the
// given options, seen as ready once it prints "ready"; stopped on destruction.
class FakeService {
public:
    FakeService(const QString& program, const char* busVariable, const PrivateBus& bus,
                const QStringList& options);
    ~FakeService();
    FakeService(const FakeService&) = delete;
    FakeService& operator=(const FakeService&) = delete;

    // True once it owns its name.
    bool isReady() const { return ready_; }
    // One line per call received so far.
    QStringList calls() const;

private:
    QTemporaryDir dir_;
    QProcess process_;
    bool ready_ = false;
};

}  // namespace zeravan::test
