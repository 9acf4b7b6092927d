// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "fake_options.h"

#include <QCommandLineParser>

namespace zeravan::test {

FakeOptions parseFakeOptions(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Answers logind's power calls on DBUS_SYSTEM_BUS_ADDRESS; does nothing."));
    parser.addHelpOption();
    const QCommandLineOption log(QStringLiteral("log"), QStringLiteral("Append each call here."),
                                 QStringLiteral("file"));
    const QCommandLineOption refuse(QStringLiteral("refuse"),
                                    QStringLiteral("Answer power calls with this D-Bus error."),
                                    QStringLiteral("name"));
    const QCommandLineOption delay(QStringLiteral("delay-ms"),
                                   QStringLiteral("Answer power calls this much later."),
                                   QStringLiteral("ms"), QStringLiteral("0"));
    const QCommandLineOption canPowerOff(
        QStringLiteral("can-power-off"),
        QStringLiteral("CanPowerOff's answer: yes|challenge|no|na."), QStringLiteral("answer"),
        QStringLiteral("yes"));
    const QCommandLineOption stamp(QStringLiteral("stamp"),
                                   QStringLiteral("End each line with the arrival time in ms."));
    const QCommandLineOption permissionDelay(QStringLiteral("permission-delay-ms"),
                                             QStringLiteral("Answer CanPowerOff this much later."),
                                             QStringLiteral("ms"), QStringLiteral("0"));
    const QCommandLineOption silent(QStringLiteral("silent"),
                                    QStringLiteral("Never answer any call."));
    const QCommandLineOption unreachable(
        QStringLiteral("unreachable"),
        QStringLiteral("Do not take the name, so that calls find nobody."));
    const QCommandLineOption inProgress(
        QStringLiteral("operation-in-progress"),
        QStringLiteral("After accepting one power call of a kind, answer the next ones of that "
                       "kind with org.freedesktop.login1.OperationInProgress."));
    const QCommandLineOption callOff(
        QStringLiteral("call-off-after-ms"),
        QStringLiteral("After accepting PowerOff or Reboot, emit PrepareForShutdown(true), then "
                       "PrepareForShutdown(false) this much later."),
        QStringLiteral("ms"), QStringLiteral("-1"));
    parser.addOptions({log, refuse, delay, canPowerOff, stamp, permissionDelay, silent, unreachable,
                       inProgress, callOff});
    parser.process(arguments);

    bool delayIsNumber = false;
    bool permissionDelayIsNumber = false;
    bool callOffIsNumber = false;
    FakeOptions options{parser.value(log),
                        parser.value(refuse),
                        parser.value(delay).toInt(&delayIsNumber),
                        parser.value(canPowerOff),
                        parser.isSet(stamp),
                        parser.value(permissionDelay).toInt(&permissionDelayIsNumber),
                        parser.isSet(silent),
                        parser.isSet(unreachable),
                        parser.isSet(inProgress),
                        parser.value(callOff).toInt(&callOffIsNumber)};
    if (options.logPath.isEmpty() || !delayIsNumber || options.delayMs < 0 ||
        !permissionDelayIsNumber || options.permissionDelayMs < 0 || !callOffIsNumber) {
        parser.showHelp(2);
    }
    return options;
}

}  // namespace zeravan::test
