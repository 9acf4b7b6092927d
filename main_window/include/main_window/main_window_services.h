// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// What the main window is given: the clock, the platform's ports and the ways out.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <functional>

#include "engine/clock.h"
#include "main_window/module1.h"
#include "platform/link_opener.h"
#include "platform/page_view.h"
#include "platform/power_port.h"
#include "platform/tray_port.h"

namespace zeravan {

// What the main window is given by the program: the clock, the platform's services, the shared
// module state and the ways out to the other form and to the end of the program. All of them
// outlive every load of the window.
struct MainWindowServices {
    const engine::Clock& clock;
    platform::PowerPort& power;
    platform::TrayPort& tray;
    platform::LinkOpener& links;
    Module1& module;
    std::function<void()> showCountdown;  // Show of the countdown dialog's global instance
    std::function<void()> end;            // ends the program at once
    // Builds the web panel inside its frame.
    std::function<platform::PageView*(QWidget* frame)> makeWebPanel;
    QPixmap background;
    QIcon icon;
};

}  // namespace zeravan
