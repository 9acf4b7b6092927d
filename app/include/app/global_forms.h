// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The global instances of the main window and the countdown dialog.
#pragma once

#include <functional>

#include "app/forms/form_instance.h"
#include "countdown_dialog/countdown_form.h"
#include "main_window/main_window_form.h"

namespace zeravan::app {

// The two forms' global instances. Each is created on first reference and loads its form
// again after an unload. Closing the main window ends the program, and takes the countdown
// dialog with it: a dialog left behind would keep watching a window nobody can see.
// The main window's way to the countdown dialog is wired here, so whoever builds the window
// only passes it on.
class GlobalForms {
public:
    using ShowCountdown = std::function<void()>;
    using MainWindowFactory = std::function<std::unique_ptr<MainWindowForm>(ShowCountdown)>;

    GlobalForms(MainWindowFactory makeMainWindow, const engine::SteadyClock& steady,
                QIcon countdownIcon, std::function<void()> end);

    forms::FormInstance<MainWindowForm> form1;
    forms::FormInstance<CountdownForm> Form2;

private:
    std::function<void()> end_;
};

}  // namespace zeravan::app
