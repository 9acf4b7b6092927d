// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The tray port through Qt's system tray icon.
#pragma once

#include <QIcon>
#include <QSystemTrayIcon>
#include <QTimer>

#include "platform/tray_port.h"

namespace zeravan::platform {

// The notification area through Qt: StatusNotifierItem or XEmbed on Linux, the shell's tray on
// Windows. The record's icon handle names one of the icons this port was given.
class QtTrayPort final : public TrayPort {
    Q_OBJECT
public:
    explicit QtTrayPort(QIcon icon, QObject* parent = nullptr);

    bool isAvailable() const override;
    void notifyIcon(int message, const NotifyIconData& record) override;
    void setMenu(QMenu* menu) override;

private:
    void reportActivation(QSystemTrayIcon::ActivationReason reason);
    void removePendingIcon();

    QIcon icon_;
    QSystemTrayIcon tray_;
    // A StatusNotifierItem: the host shows the menu exported over D-Bus, and reports a click or
    // a double click alike as its primary activation.
    bool statusNotifierItem_;
    bool hostSubmenuOpen_ = false;
    QTimer afterHostSubmenu_;
    bool removalPending_ = false;
};

}  // namespace zeravan::platform
