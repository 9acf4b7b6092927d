// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// fake_session_manager --kind=NAME --log=FILE [--refuse=ERROR] [--stamp] [--call-off-after-ms=N]
// Owns the session manager name of one desktop (see session_kinds.h) on the bus in
// DBUS_SESSION_BUS_ADDRESS and writes down each call it gets, "<service> <method> <arguments>";
// prints "ready" once it owns the name. It ends nothing; with --call-off-after-ms, it says N ms
// after each call it accepts that the end of the session was called off, where its desktop has
// a signal for that.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QTextStream>
#include <QTimer>

#include "call_log.h"
#include "session_kinds.h"

namespace {

using zeravan::test::CallLog;
using zeravan::test::SessionKind;

// Acting as a session manager on the user's own bus would end the user's session.
bool onPrivateBus() {
    const QString address = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
    return address.startsWith(QLatin1String("unix:path=")) &&
           !address.contains(QLatin1String("/run/"));
}

QString argumentText(const QVariant& argument) {
    if (argument.typeId() == QMetaType::Bool) {
        return argument.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    }
    return argument.toString();
}

// Answers as the real one would to calls it does not know: unknown interface or method, or
// arguments of the wrong types.
class FakeSessionManager final : public QDBusVirtualObject {
public:
    // `callOffAfterMs` negative: the session is never called off.
    FakeSessionManager(SessionKind kind, QString refusal, int callOffAfterMs, CallLog& log)
        : kind_(std::move(kind)),
          refusal_(std::move(refusal)),
          callOffAfterMs_(callOffAfterMs),
          log_(log) {}

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (message.type() != QDBusMessage::MethodCallMessage) return false;
        if (message.interface() != kind_.interface) {
            connection.send(message.createErrorReply(QDBusError::UnknownInterface,
                                                     QStringLiteral("no such interface")));
            return true;
        }
        const auto method = kind_.methods.constFind(message.member());
        if (method == kind_.methods.constEnd()) {
            connection.send(message.createErrorReply(QDBusError::UnknownMethod,
                                                     QStringLiteral("no such method")));
            return true;
        }
        if (message.signature() != *method) {
            connection.send(message.createErrorReply(QDBusError::InvalidArgs,
                                                     QStringLiteral("wrong arguments")));
            return true;
        }
        QStringList line{kind_.service, message.member()};
        for (const QVariant& argument : message.arguments()) line << argumentText(argument);
        log_.write(line.join(u' '));
        if (!refusal_.isEmpty()) {
            connection.send(message.createErrorReply(refusal_, QStringLiteral("refused")));
            return true;
        }
        connection.send(message.createReply());
        if (callOffAfterMs_ >= 0 && !kind_.calledOffSignal.isEmpty()) {
            QTimer::singleShot(callOffAfterMs_, this, [this, connection] {
                connection.send(
                    QDBusMessage::createSignal(kind_.path, kind_.interface, kind_.calledOffSignal));
            });
        }
        return true;
    }

private:
    SessionKind kind_;
    QString refusal_;
    int callOffAfterMs_;
    CallLog& log_;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Answers one desktop's session manager calls on DBUS_SESSION_BUS_ADDRESS; does nothing."));
    parser.addHelpOption();
    const QCommandLineOption kindOption(QStringLiteral("kind"), QStringLiteral("Which desktop."),
                                        QStringLiteral("name"));
    const QCommandLineOption logOption(
        QStringLiteral("log"), QStringLiteral("Append each call here."), QStringLiteral("file"));
    const QCommandLineOption refuseOption(QStringLiteral("refuse"),
                                          QStringLiteral("Answer calls with this D-Bus error."),
                                          QStringLiteral("name"));
    const QCommandLineOption stampOption(
        QStringLiteral("stamp"), QStringLiteral("End each line with the arrival time in ms."));
    const QCommandLineOption callOffOption(
        QStringLiteral("call-off-after-ms"),
        QStringLiteral("This long after each call accepted, emit the desktop's signal that the end "
                       "of the session was called off, where it has one."),
        QStringLiteral("ms"), QStringLiteral("-1"));
    parser.addOptions({kindOption, logOption, refuseOption, stampOption, callOffOption});
    parser.process(app);

    const std::optional<SessionKind> kind = zeravan::test::sessionKind(parser.value(kindOption));
    bool callOffIsNumber = false;
    const int callOffAfterMs = parser.value(callOffOption).toInt(&callOffIsNumber);
    if (!kind || parser.value(logOption).isEmpty() || !callOffIsNumber) parser.showHelp(2);
    if (!onPrivateBus()) {
        err << "fake_session_manager: DBUS_SESSION_BUS_ADDRESS must name a private test bus"
            << Qt::endl;
        return 2;
    }
    CallLog log(parser.value(logOption), parser.isSet(stampOption));
    if (!log.isOpen()) {
        err << "fake_session_manager: cannot write " << parser.value(logOption) << Qt::endl;
        return 1;
    }

    QDBusConnection bus = QDBusConnection::sessionBus();
    FakeSessionManager manager(*kind, parser.value(refuseOption), callOffAfterMs, log);
    if (!bus.registerVirtualObject(kind->path, &manager)) {
        err << "fake_session_manager: cannot reach the bus: " << bus.lastError().message()
            << Qt::endl;
        return 1;
    }
    QObject::connect(bus.interface(), &QDBusConnectionInterface::serviceRegistered, &app,
                     [service = kind->service](const QString& name) {
                         if (name == service) QTextStream(stdout) << "ready" << Qt::endl;
                     });
    const auto queued =
        bus.interface()->registerService(kind->service, QDBusConnectionInterface::QueueService,
                                         QDBusConnectionInterface::DontAllowReplacement);
    if (!queued.isValid()) {
        err << "fake_session_manager: cannot own " << kind->service << Qt::endl;
        return 1;
    }
    return app.exec();
}
