// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// Hiding into the notification area, the icon's mouse messages and the popup menu.
#include <QCursor>
#include <QEvent>

#include "app/forms/popups_stay_open.h"
#include "app/forms/twips.h"
#include "main_window/main_window_form.h"

namespace zeravan {

using platform::NIM_ADD;
using platform::NIM_DELETE;

void MainWindowForm::changeEvent(QEvent* event) {
    forms::Form::changeEvent(event);
    // Handled once the state change is complete: hiding in the middle of it would be undone by
    // the rest of the change.
    // One state change may be reported more than once: it is handled once.
    if (event->type() == QEvent::WindowStateChange && !resizePending_) {
        resizePending_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                resizePending_ = false;
                Form_Resize();
            },
            Qt::QueuedConnection);
    }
}

void MainWindowForm::Form_Resize() {
    // Without a notification area a hidden window could never be reached again: it stays
    // minimised on the taskbar instead.
    if (isMinimized() && services_.tray.isAvailable()) WindowStyle();
}

void MainWindowForm::WindowStyle() {
    platform::NotifyIconData& record = services_.module.TrayIconData;
    record.hIcon = static_cast<std::uint64_t>(windowIcon().cacheKey());
    record.szTip = (QStringLiteral("Orrimel") + QChar(0))
                       .leftJustified(platform::NotifyIconData::tipLength, QLatin1Char(' '), true);
    services_.tray.notifyIcon(NIM_ADD, record);
    placeBeforeTray_ = pos();
    Hide();
}

// Every mouse action over the tray icon arrives here as a mouse move: the tray port turns Qt's
// activation reason into the mouse message code that completes the click (DoubleClick becomes
// WM_LBUTTONDBLCLK, Context WM_RBUTTONUP); the code is posted as a mouse move whose X, in the
// window's scale of twips, is the code times TwipsPerPixelX (connectHandlers); dividing X back
// by TwipsPerPixelX gives the code again.
void MainWindowForm::Form_MouseMove(float x) {
    const float code = x / forms::TwipsPerPixelX;
    if (code == static_cast<float>(platform::WM_LBUTTONDBLCLK)) {
        bringBack();
    } else if (code == static_cast<float>(platform::WM_RBUTTONUP)) {
        f00->exec(QCursor::pos());
    }
}

void MainWindowForm::bringBack() {
    restoreFromTray();
    activateWindow();
    setFocus();
}

// A window hidden into the tray comes back where it was before; a shown one stays where it is.
// "打开" restores it from inside the popup, which stays open for "退出".
void MainWindowForm::restoreFromTray() {
    const forms::PopupsStayOpen popupsStayOpen;
    const bool wasInTray = isHidden();
    showNormal();
    if (wasInTray) move(placeBeforeTray_);
    raise();
}

void MainWindowForm::F01_Click() {
    restoreFromTray();
    services_.tray.notifyIcon(NIM_DELETE, services_.module.TrayIconData);
}

void MainWindowForm::F02_Click() {
    services_.tray.notifyIcon(NIM_DELETE, services_.module.TrayIconData);
    services_.end();
}

void MainWindowForm::Form_QueryUnload(bool& cancel, forms::UnloadMode mode) {
    Q_UNUSED(cancel);
    Q_UNUSED(mode);
    services_.tray.notifyIcon(NIM_DELETE, services_.module.TrayIconData);
}

}  // namespace zeravan
