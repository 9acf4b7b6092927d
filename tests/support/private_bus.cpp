// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "private_bus.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>

#include "child_process.h"

namespace zeravan::test {

namespace {

constexpr int startTimeoutMs = 5'000;

}  // namespace

PrivateBus::PrivateBus() {
    if (!dir_.isValid()) {
        error_ = QStringLiteral("no temporary directory: ") + dir_.errorString();
        return;
    }
    if (!writeConfig()) return;
    daemon_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    stopWithParent(daemon_);
    // Without the daemon's guid, which a restarted daemon does not share.
    const QString address = QStringLiteral("unix:path=") + dir_.filePath(QStringLiteral("bus"));
    if (start(address)) address_ = address;
}

PrivateBus::~PrivateBus() {
    if (daemon_.state() == QProcess::NotRunning) return;
    daemon_.terminate();
    if (!daemon_.waitForFinished(startTimeoutMs)) daemon_.kill();
    daemon_.waitForFinished();
}

// The shared configuration, and this bus's own service folder.
bool PrivateBus::writeConfig() {
    QFile config(dir_.filePath(QStringLiteral("bus.conf")));
    if (!QDir().mkpath(serviceFolder()) || !config.open(QIODevice::WriteOnly)) {
        error_ = QStringLiteral("cannot write the bus configuration: ") + config.errorString();
        return false;
    }
    config.write(QStringLiteral("<busconfig><include>" ZERAVAN_PRIVATE_BUS_CONFIG
                                "</include><servicedir>%1</servicedir></busconfig>\n")
                     .arg(serviceFolder().toHtmlEscaped())
                     .toUtf8());
    return true;
}

bool PrivateBus::start(const QString& address) {
    daemon_.start(QStringLiteral("dbus-daemon"),
                  {QStringLiteral("--config-file=") + dir_.filePath(QStringLiteral("bus.conf")),
                   QStringLiteral("--address=") + address, QStringLiteral("--print-address"),
                   QStringLiteral("--nofork"), QStringLiteral("--nosyslog")});
    // It prints its address once it listens.
    const QDeadlineTimer deadline(startTimeoutMs);
    while (!daemon_.canReadLine() && daemon_.waitForReadyRead(deadline.remainingTime())) {
    }
    if (!daemon_.readLine().trimmed().isEmpty()) return true;
    error_ = QStringLiteral("dbus-daemon did not start: ") + daemon_.errorString();
    return false;
}

bool PrivateBus::restart() {
    daemon_.kill();
    daemon_.waitForFinished();
    return !address_.isEmpty() && start(address_);
}

void PrivateBus::useAsSystemBus() const {
    // An empty address would let Qt fall back to the machine's real system bus.
    if (address_.isEmpty()) qFatal("PrivateBus: no private bus to use as the system bus");
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", address_.toUtf8());
}

}  // namespace zeravan::test
