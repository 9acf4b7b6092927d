// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The tray port: the notification area's icon, its menu and its mouse messages.
#pragma once

#include <QObject>

#include "platform/notify_icon_data.h"

class QMenu;

namespace zeravan::platform {

// The shell's notify-icon messages and the mouse messages an icon reports.
inline constexpr int NIM_ADD = 0;
inline constexpr int NIM_DELETE = 2;
inline constexpr int WM_LBUTTONUP = 0x202;
inline constexpr int WM_LBUTTONDBLCLK = 0x203;
inline constexpr int WM_RBUTTONUP = 0x205;
inline constexpr int WM_MBUTTONUP = 0x208;

// The notification area. Requests are fire-and-forget, and a repeated add or delete is harmless.
// Each mouse action over the icon comes back as its mouse message code.
class TrayPort : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual bool isAvailable() const = 0;
    virtual void notifyIcon(int message, const NotifyIconData& record) = 0;
    // The icon's popup menu, for hosts that show it themselves; elsewhere the program shows it
    // when told of the right button.
    virtual void setMenu(QMenu* menu) = 0;

signals:
    void mouseMessage(int code);
};

}  // namespace zeravan::platform
