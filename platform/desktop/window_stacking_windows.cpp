// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include <QWindow>

#include "platform/window_stacking.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace zeravan::platform {

// A topmost window stays above the others; Windows needs nothing more.
void keepAbove(QWidget& window) {
    window.setWindowFlag(Qt::WindowStaysOnTopHint);
}

// Windows takes a window out of the topmost band only through SetWindowPos; the widget's flags
// follow without hiding and showing the window again.
void stopKeepingAbove(QWidget& window) {
    window.overrideWindowFlags(window.windowFlags() & ~Qt::WindowStaysOnTopHint);
    if (QWindow* handle = window.windowHandle()) {
        handle->setFlags(window.windowFlags());
        SetWindowPos(reinterpret_cast<HWND>(handle->winId()), HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

void raiseWithoutKeepingFocus(QWidget&) {}

}  // namespace zeravan::platform
