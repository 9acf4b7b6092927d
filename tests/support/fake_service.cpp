// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "fake_service.h"

#include <QDeadlineTimer>
#include <QFile>

#include "child_process.h"

namespace zeravan::test {

namespace {

constexpr int kTimeoutMs = 5'000;

}  // namespace

FakeService::FakeService(const PrivateBus& bus, const QString& name, const QStringList& options) {
    if (bus.address().isEmpty() || !dir_.isValid()) return;
    const bool logind = name == kLogind;
    QStringList arguments{QStringLiteral("--log=") + dir_.filePath(QStringLiteral("calls.log"))};
    if (!logind) arguments << QStringLiteral("--kind=") + name;

    // Set here for the child whatever this process has, so the fake can only see the test's bus.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(logind ? QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS")
                              : QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                       bus.address());
    process_.setProcessEnvironment(environment);
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    stopWithParent(process_);
    process_.start(
        logind ? QStringLiteral(ZERAVAN_FAKE_LOGIND) : QStringLiteral(ZERAVAN_FAKE_SESSION_MANAGER),
        arguments << options);

    const QDeadlineTimer deadline(kTimeoutMs);
    while (!ready_ && process_.waitForReadyRead(deadline.remainingTime())) {
        while (process_.canReadLine()) {
            if (process_.readLine().trimmed() == "ready") ready_ = true;
        }
    }
}

FakeService::~FakeService() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.terminate();
    if (!process_.waitForFinished(kTimeoutMs)) process_.kill();
    process_.waitForFinished();
}

QStringList FakeService::calls() const {
    QFile file(dir_.filePath(QStringLiteral("calls.log")));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

}  // namespace zeravan::test
