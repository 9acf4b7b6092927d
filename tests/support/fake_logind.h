#pragma once

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include "tests/support/private_bus.h"

namespace zeravan::test {

// The fake_logind executable on a private bus, started with the given options
// (e.g. "--refuse=org.freedesktop.DBus.Error.AccessDenied", "--delay-ms=300"); stopped on
// destruction.
class FakeLogind {
public:
    explicit FakeLogind(const PrivateBus& bus, const QStringList& options = {});
    ~FakeLogind();
    FakeLogind(const FakeLogind&) = delete;
    FakeLogind& operator=(const FakeLogind&) = delete;

    // True once it owns org.freedesktop.login1.
    bool isReady() const { return ready_; }
    // One line per call received so far, e.g. "PowerOff true", "Terminate auto", "CanPowerOff".
    QStringList calls() const;

private:
    QTemporaryDir dir_;
    QProcess process_;
    bool ready_ = false;
};

}  // namespace zeravan::test
