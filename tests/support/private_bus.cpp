// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "tests/support/private_bus.h"

#include <QDeadlineTimer>

#include "tests/support/child_process.h"

namespace zeravan::test {

namespace {

constexpr int kStartTimeoutMs = 5'000;

}  // namespace

PrivateBus::PrivateBus() {
    if (!dir_.isValid()) {
        error_ = QStringLiteral("no temporary directory: ") + dir_.errorString();
        return;
    }
    daemon_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    stopWithParent(daemon_);
    daemon_.start(QStringLiteral("dbus-daemon"),
                  {QStringLiteral("--config-file=" ZERAVAN_PRIVATE_BUS_CONFIG),
                   QStringLiteral("--address=unix:path=") + dir_.filePath(QStringLiteral("bus")),
                   QStringLiteral("--print-address"), QStringLiteral("--nofork"),
                   QStringLiteral("--nosyslog")});
    const QDeadlineTimer deadline(kStartTimeoutMs);
    while (!daemon_.canReadLine() && daemon_.waitForReadyRead(deadline.remainingTime())) {
    }
    address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    if (address_.isEmpty())
        error_ = QStringLiteral("dbus-daemon did not start: ") + daemon_.errorString();
}

PrivateBus::~PrivateBus() {
    if (daemon_.state() == QProcess::NotRunning) return;
    daemon_.terminate();
    if (!daemon_.waitForFinished(kStartTimeoutMs)) daemon_.kill();
    daemon_.waitForFinished();
}

void PrivateBus::useAsSystemBus() const {
    // An empty address would let Qt fall back to the machine's real system bus.
    if (address_.isEmpty()) qFatal("PrivateBus: no private bus to use as the system bus");
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", address_.toUtf8());
}

}  // namespace zeravan::test
