// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// fake_logind --log=FILE [--refuse=NAME] [--delay-ms=N] [--can-power-off=yes|challenge|no|na]
//             [--stamp] [--permission-delay-ms=N] [--silent] [--unreachable]
//             [--operation-in-progress] [--call-off-after-ms=N]
// Owns org.freedesktop.login1 on the bus in DBUS_SYSTEM_BUS_ADDRESS, prints "ready" once it does.

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QTextStream>

#include "call_log.h"
#include "fake_objects.h"
#include "fake_options.h"

namespace {

const QString kService = QStringLiteral("org.freedesktop.login1");

// Answering as logind on the machine's own bus would mislead every program on it.
bool onPrivateBus() {
    const QString address = qEnvironmentVariable("DBUS_SYSTEM_BUS_ADDRESS");
    return !address.isEmpty() && !address.contains(QLatin1String("/run/dbus"));
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const zeravan::test::FakeOptions options =
        zeravan::test::parseFakeOptions(QCoreApplication::arguments());
    if (!onPrivateBus()) {
        err << "fake_logind: DBUS_SYSTEM_BUS_ADDRESS must name a private test bus" << Qt::endl;
        return 2;
    }
    zeravan::test::CallLog log(options.logPath, options.stamp);
    if (!log.isOpen()) {
        err << "fake_logind: cannot write " << options.logPath << Qt::endl;
        return 1;
    }

    QDBusConnection bus = QDBusConnection::systemBus();
    zeravan::test::FakeManager manager(options, log);
    zeravan::test::FakeSession session(options, log);
    if (!bus.registerObject(QStringLiteral("/org/freedesktop/login1"), &manager,
                            QDBusConnection::ExportAllSlots) ||
        !bus.registerObject(QStringLiteral("/org/freedesktop/login1/session/auto"), &session,
                            QDBusConnection::ExportAllSlots)) {
        err << "fake_logind: cannot reach the bus: " << bus.lastError().message() << Qt::endl;
        return 1;
    }

    if (options.unreachable) {
        QTextStream(stdout) << "ready" << Qt::endl;
        return app.exec();
    }
    // A fake that was just stopped may still hold the name for a moment: wait in line for it.
    QObject::connect(bus.interface(), &QDBusConnectionInterface::serviceRegistered, &app,
                     [](const QString& name) {
                         if (name == kService) QTextStream(stdout) << "ready" << Qt::endl;
                     });
    const auto queued =
        bus.interface()->registerService(kService, QDBusConnectionInterface::QueueService,
                                         QDBusConnectionInterface::DontAllowReplacement);
    if (!queued.isValid()) {
        err << "fake_logind: cannot own " << kService << ": " << queued.error().message()
            << Qt::endl;
        return 1;
    }
    return app.exec();
}
