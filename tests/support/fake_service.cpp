// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "fake_service.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDeadlineTimer>
#include <QFile>
#include <csignal>

#include "child_process.h"

namespace zeravan::test {

namespace {

constexpr int processTimeoutMs = 5'000;

}  // namespace

FakeService::FakeService(const PrivateBus& bus, const QString& name, const QStringList& options,
                         const QString& startedByBus)
    : busAddress_(bus.address()), serviceName_(startedByBus) {
    if (bus.address().isEmpty() || !dir_.isValid()) return;
    const bool logind = name == logindName;
    QStringList arguments{QStringLiteral("--log=") + dir_.filePath(QStringLiteral("calls.log"))};
    if (!logind) arguments << QStringLiteral("--kind=") + name;
    if (!startedByBus.isEmpty()) {
        serviceFile_ = bus.serviceFolder() + u'/' + startedByBus + QStringLiteral(".service");
        writeServiceFile(QStringLiteral(ZERAVAN_FAKE_SESSION_MANAGER), arguments << options);
        return;
    }

    // Set here for the child whatever this process has, so the fake can only see the test's bus;
    // a session manager asks logind on it too (gnome-session does).
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), bus.address());
    if (!logind) environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.address());
    process_.setProcessEnvironment(environment);
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    stopWithParent(process_);
    process_.start(
        logind ? QStringLiteral(ZERAVAN_FAKE_LOGIND) : QStringLiteral(ZERAVAN_FAKE_SESSION_MANAGER),
        arguments << options);

    const QDeadlineTimer deadline(processTimeoutMs);
    while (!ready_ && process_.waitForReadyRead(deadline.remainingTime())) {
        while (process_.canReadLine()) {
            if (process_.readLine().trimmed() == "ready") ready_ = true;
        }
    }
}

// The bus runs Exec without a shell: the fake's path and arguments hold no blanks.
void FakeService::writeServiceFile(const QString& program, const QStringList& arguments) {
    QFile file(serviceFile_);
    ready_ = file.open(QIODevice::WriteOnly | QIODevice::Text) &&
             file.write((QStringLiteral("[D-BUS Service]\nName=") + serviceName_ +
                         QStringLiteral("\nExec=") + program + u' ' + arguments.join(u' ') + u'\n')
                            .toUtf8()) > 0;
}

// Whatever the bus started ends with the test's row, as it would with the session.
void FakeService::stopStartedByBus() {
    QFile::remove(serviceFile_);
    const QString connectionName = QStringLiteral("fake-service-owner");
    {
        QDBusConnection bus = QDBusConnection::connectToBus(busAddress_, connectionName);
        const QDBusReply<uint> pid = bus.interface()->servicePid(serviceName_);
        if (pid.isValid()) ::kill(static_cast<pid_t>(pid.value()), SIGTERM);
    }
    QDBusConnection::disconnectFromBus(connectionName);
}

FakeService::~FakeService() {
    if (!serviceFile_.isEmpty()) stopStartedByBus();
    if (process_.state() == QProcess::NotRunning) return;
    process_.terminate();
    if (!process_.waitForFinished(processTimeoutMs)) process_.kill();
    process_.waitForFinished();
}

QStringList FakeService::calls() const {
    QFile file(dir_.filePath(QStringLiteral("calls.log")));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

}  // namespace zeravan::test
