// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "platform/window_stacking.h"

namespace zeravan::platform {

// A topmost window stays above the others; Windows needs nothing more.
void keepAbove(QWidget& window) {
    window.setWindowFlag(Qt::WindowStaysOnTopHint);
}

void raiseWithoutKeepingFocus(QWidget&) {}

}  // namespace zeravan::platform
