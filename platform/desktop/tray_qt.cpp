// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "platform/tray_qt.h"

#include <QMenu>

#include "status_notifier_host.h"

namespace zeravan::platform {

namespace {

// How long after a submenu has closed a host may still report the item chosen in it.
constexpr std::chrono::milliseconds hostChoiceDelay{1000};

}  // namespace

QtTrayPort::QtTrayPort(QIcon icon, QObject* parent)
    : TrayPort(parent),
      icon_(std::move(icon)),
      tray_(this),
      statusNotifierItem_(statusNotifierHostRegistered()) {
    // Posted, as the shell posts an icon's messages to its window: what they start (the popup's
    // own event loop, removing the icon) must not run inside the icon's event handler, or inside
    // the D-Bus call that reported them, since removing the icon deletes both.
    connect(&tray_, &QSystemTrayIcon::activated, this, &QtTrayPort::reportActivation,
            Qt::QueuedConnection);
    afterHostSubmenu_.setSingleShot(true);
    afterHostSubmenu_.setInterval(hostChoiceDelay);
    connect(&afterHostSubmenu_, &QTimer::timeout, this, &QtTrayPort::removePendingIcon);
}

bool QtTrayPort::isAvailable() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtTrayPort::notifyIcon(int message, const NotifyIconData& record) {
    if (message == NIM_ADD) {
        const bool known = record.hIcon == static_cast<std::uint64_t>(icon_.cacheKey());
        tray_.setIcon(known ? icon_ : QIcon());
        tray_.setToolTip(record.shownTip());
        tray_.show();
        removalPending_ = false;
    } else if (message == NIM_DELETE) {
        // Also done once the caller is through: "打开" removes the icon from inside the events
        // the icon itself delivered.
        removalPending_ = true;
        if (!hostSubmenuOpen_ && !afterHostSubmenu_.isActive())
            QMetaObject::invokeMethod(this, &QtTrayPort::removePendingIcon, Qt::QueuedConnection);
    }
}

// Taking the item off the bus takes its menu with it. The removal comes from opening a submenu
// ("打开"), so it waits while that submenu is open, for "退出" there to still reach the program,
// and a little longer, since hosts report the choice once their menu has closed (lxqt-panel
// does). The top menu is no guide: xfce4-panel does not report it closing.
void QtTrayPort::setMenu(QMenu* menu) {
    if (!statusNotifierItem_) return;
    tray_.setContextMenu(menu);
    for (const QAction* action : menu->actions()) {
        if (const QMenu* submenu = action->menu()) {
            connect(submenu, &QMenu::aboutToShow, this, [this] {
                hostSubmenuOpen_ = true;
                afterHostSubmenu_.stop();
            });
            connect(submenu, &QMenu::aboutToHide, this, [this] {
                hostSubmenuOpen_ = false;
                afterHostSubmenu_.start();
            });
        }
    }
}

void QtTrayPort::removePendingIcon() {
    if (!removalPending_) return;
    removalPending_ = false;
    tray_.hide();
}

// Qt reports clicks, not button transitions: each becomes the message that completes it (the
// main window's Form_MouseMove says where the message goes from here).
void QtTrayPort::reportActivation(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
        case QSystemTrayIcon::DoubleClick:
            emit mouseMessage(WM_LBUTTONDBLCLK);
            break;
        case QSystemTrayIcon::Context:
            emit mouseMessage(WM_RBUTTONUP);
            break;
        case QSystemTrayIcon::Trigger:
            emit mouseMessage(statusNotifierItem_ ? WM_LBUTTONDBLCLK : WM_LBUTTONUP);
            break;
        case QSystemTrayIcon::MiddleClick:
            emit mouseMessage(WM_MBUTTONUP);
            break;
        case QSystemTrayIcon::Unknown:
            break;
    }
}

}  // namespace zeravan::platform
