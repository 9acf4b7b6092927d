// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "startup.h"

#include <QApplication>
#include <QSessionManager>
#include <iostream>
#include <memory>
#include <vector>

#include "app/chinese_qt_texts.h"
#include "app/global_forms.h"
#include "not_started_notice.h"
#include "platform/graphical_desktop.h"
#include "platform/installer_requests.h"
#include "platform/library_search.h"
#include "platform/link_opener_desktop.h"
#include "platform/page_painter_program.h"
#include "platform/single_instance_lock.h"
#include "platform/system_clock.h"
#include "platform/system_power_port.h"
#include "platform/tray_qt.h"
#include "platform/web_band_view.h"
#include "version.h"

namespace zeravan::app {

namespace {

void endProgram() {
    QCoreApplication::exit(0);
}

// The program's arguments for Qt, with the platform to use when start-up chose one.
class QtArguments {
public:
    QtArguments(int argc, char** argv, std::string platform) : platform_(std::move(platform)) {
        values_.assign(argv, argv + argc);
        if (!platform_.empty()) {
            values_.push_back(platformOption_.data());
            values_.push_back(platform_.data());
        }
        count_ = static_cast<int>(values_.size());
        values_.push_back(nullptr);
    }

    // Qt keeps both and removes the options it takes.
    int& count() { return count_; }
    char** values() { return values_.data(); }

private:
    std::string platform_;
    std::string platformOption_ = "-platform";
    std::vector<char*> values_;
    int count_ = 0;
};

}  // namespace

int run(int argc, char** argv) {
    platform::restrictLibrarySearch();
    const platform::GraphicalDesktop desktop = platform::findGraphicalDesktop();
    if (!desktop.reachable) {
        std::cerr
            << "Zeravan 需要图形桌面才能运行，但找不到可用的显示（DISPLAY 或 WAYLAND_DISPLAY）。\n"
               "Zeravan needs a graphical desktop to run, but no display could be reached "
               "(DISPLAY or WAYLAND_DISPLAY).\n";
        return 1;
    }
    // The desktop entry's name: the window manager's class and the Wayland app id follow it, so
    // that docks and task bars find the entry and its icon.
    QApplication::setApplicationName(QStringLiteral("io.github.orrimel.Zeravan"));
    QApplication::setDesktopFileName(QStringLiteral("io.github.orrimel.Zeravan"));
    QApplication::setApplicationVersion(QString::fromLatin1(shortVersion));
    QApplication::setOrganizationName(QStringLiteral("Orrimel"));
    QtArguments arguments(argc, argv, desktop.qtPlatform);
    QApplication application(arguments.count(), arguments.values());
    installChineseQtTexts(application);
    // Started again by the desktop at the next login, it would come back without its schedule;
    // it keeps nothing that a restart could bring back.
    QObject::connect(
        &application, &QGuiApplication::saveStateRequest, &application,
        [](QSessionManager& session) { session.setRestartHint(QSessionManager::RestartNever); });

    // One copy per user and desktop session: the same user on another display runs one of its own.
    platform::SingleInstanceLock runningCopy(platform::findSingleInstancePlaces(desktop.session));
    switch (runningCopy.claim()) {
        case platform::SingleInstanceLock::Claim::heldElsewhere:
            return 0;
        // A copy that cannot make sure it is the only one would let a later start be a second
        // one, with a schedule of its own: it does not run.
        case platform::SingleInstanceLock::Claim::unavailable:
            sayNotStarted(runningCopy.whyUnavailable());
            return 1;
        case platform::SingleInstanceLock::Claim::held:
            break;
    }
    // The program's end is decided by its forms, not by which windows happen to be visible:
    // the main window may be hidden in the tray while the countdown dialog closes.
    QApplication::setQuitOnLastWindowClosed(false);

    const QIcon mainIcon(QStringLiteral(":/zeravan.ico"));
    const QIcon countdownIcon(QStringLiteral(":/countdown.ico"));
    QApplication::setWindowIcon(mainIcon);

    const platform::SystemClock clock;
    const platform::SystemSteadyClock steadyClock;
    const std::unique_ptr<platform::PowerPort> power = platform::makeSystemPowerPort();
    platform::QtTrayPort tray(mainIcon);
    platform::DesktopLinkOpener links;
    Module1 module;

    GlobalForms globals(
        [&](GlobalForms::ShowCountdown showCountdown) {
            return std::make_unique<MainWindowForm>(MainWindowServices{
                clock, *power, tray, links, module, std::move(showCountdown), endProgram,
                [&](QWidget* frame) {
                    return new platform::WebBandView(links, platform::pagePainterProgram(), frame);
                },
                // Not QPixmap's own loading, whose cache would keep the full-size original.
                QPixmap::fromImage(QImage(QStringLiteral(":/background.jpg"))), mainIcon});
        },
        steadyClock, countdownIcon, endProgram);

    globals.form1.Show();
    QObject::connect(&runningCopy, &platform::SingleInstanceLock::askedFor, &application,
                     [&globals] { globals.form1->bringBack(); });
    const std::unique_ptr<platform::InstallerRequests> installer =
        platform::makeInstallerRequests();
    installer->answerWith([&globals] { return globals.form1->endForInstaller(); });
    return QApplication::exec();
}

}  // namespace zeravan::app
