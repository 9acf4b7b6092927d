#include "tests/fake_logind/fake_options.h"

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
    parser.addOptions({log, refuse, delay, canPowerOff, stamp});
    parser.process(arguments);

    bool delayIsNumber = false;
    FakeOptions options{parser.value(log), parser.value(refuse),
                        parser.value(delay).toInt(&delayIsNumber), parser.value(canPowerOff),
                        parser.isSet(stamp)};
    if (options.logPath.isEmpty() || !delayIsNumber || options.delayMs < 0) {
        parser.showHelp(2);
    }
    return options;
}

}  // namespace zeravan::test
