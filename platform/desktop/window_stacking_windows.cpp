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
// follow without hiding and showing the window again. Out of the band, it is put on top of the
// ordinary windows, so that it stays in sight of what it covered until another window comes.
void stopKeepingAbove(QWidget& window) {
    window.overrideWindowFlags(window.windowFlags() & ~Qt::WindowStaysOnTopHint);
    if (QWindow* handle = window.windowHandle()) {
        handle->setFlags(window.windowFlags());
        const auto hwnd = reinterpret_cast<HWND>(handle->winId());
        const UINT keepPlace = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
        SetWindowPos(hwnd, HWND_NOTOPMOST, 0, 0, 0, 0, keepPlace);
        SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, keepPlace);
    }
}

void raiseWithoutKeepingFocus(QWidget&) {}

}  // namespace zeravan::platform
