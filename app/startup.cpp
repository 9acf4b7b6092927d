#include "app/startup.h"

#include <QApplication>
#include <QDBusConnection>
#include <QNetworkAccessManager>
#include <memory>

#include "app/global_forms.h"
#include "engine/clock.h"
#include "platform/link_opener_desktop.h"
#include "platform/page_view_text.h"
#include "platform/tray_qt.h"
#ifdef Q_OS_WIN
#include "platform/power_windows.h"
#else
#include "platform/power_logind.h"
#endif

namespace zeravan::app {

namespace {

std::unique_ptr<platform::PowerPort> systemPowerPort() {
#ifdef Q_OS_WIN
    return std::make_unique<platform::WindowsPowerPort>();
#else
    return std::make_unique<platform::LogindPowerPort>(QDBusConnection::systemBus());
#endif
}

void endProgram() {
    QCoreApplication::exit(0);
}

}  // namespace

int run(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zeravan"));
    QApplication::setApplicationDisplayName(QStringLiteral("ZeravanV8.0"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));
    QApplication::setOrganizationName(QStringLiteral("Orrimel"));
    // The program's end is decided by its forms, not by which windows happen to be visible:
    // the main window may be hidden in the tray while the countdown dialog closes.
    QApplication::setQuitOnLastWindowClosed(false);

    const QIcon mainIcon(QStringLiteral(":/zeravan.ico"));
    const QIcon countdownIcon(QStringLiteral(":/countdown.ico"));
    QApplication::setWindowIcon(mainIcon);

    const engine::SystemClock clock;
    const std::unique_ptr<platform::PowerPort> power = systemPowerPort();
    platform::QtTrayPort tray(mainIcon);
    platform::DesktopLinkOpener links;
    QNetworkAccessManager network;
    forms::Module1 module;

    GlobalForms globals(
        [&] {
            return std::make_unique<MainWindowForm>(MainWindowServices{
                clock, *power, tray, links, module, [&globals] { globals.Form2.Show(); },
                endProgram,
                [&](QWidget* frame) { return new platform::TextPageView(network, links, frame); },
                // Not QPixmap's own loading, whose cache would keep the full-size original.
                QPixmap::fromImage(QImage(QStringLiteral(":/background.jpg"))), mainIcon});
        },
        countdownIcon, endProgram);

    globals.form1.Show();
    return QApplication::exec();
}

}  // namespace zeravan::app
