// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#pragma once

#include "app/global_forms.h"
#include "fakes.h"

namespace zeravan::test {

// The program's two forms with their real global instances, over fake platform services.
// Tests drive the ticks themselves: a form's timer handler runs on a step while that timer is
// running, and the event loop, which would fire the timers on their own, is not spun.
class Harness {
public:
    using PanelFactory = std::function<platform::PageView*(QWidget* frame)>;

    // `systemPower`, when given, stands in for `power` as the windows' power port.
    explicit Harness(engine::LocalDateTime start = {{2026, 12, 7}, {12, 0, 0}},
                     PanelFactory makePanel = {}, platform::PowerPort* systemPower = nullptr);

    FakeClock clock;
    FakeSteadyClock steady;
    FakePowerPort power;
    FakeTrayPort tray;
    FakeLinkOpener links;
    Module1 module;
    int showCalls = 0;
    int endCalls = 0;
    app::GlobalForms globals;

    MainWindowForm& form1() { return *globals.form1; }
    CountdownForm* dialog() { return globals.Form2.isLoaded() ? &*globals.Form2 : nullptr; }

    // What a person reads off the forms: the confirm button says 修改 while a schedule is armed,
    // the status line, the day chosen, and the count of the open dialog.
    bool isArmed() { return form1().Command4->text() == QStringLiteral("修改"); }
    QString status() { return form1().Label6->Caption(); }
    QString dayChoice() { return form1().Combo1->currentText(); }
    QString countShown() { return dialog()->Label2->Caption(); }

    // Sets the choices and presses the confirm button.
    void arm(const QString& day, const QString& hour, const QString& minute);

    // Moves the clock on in 100 ms steps, running the main window's two ticks on each step and,
    // while the dialog is loaded, its watcher on each step and its count every second after its
    // load. `afterStep` runs after every step; forms unloaded in a step are deleted after it.
    void run(long long milliseconds, const std::function<void()>& afterStep = {});

    void runUntil(const engine::LocalDateTime& moment, const std::function<void()>& afterStep = {});

    // The program held up (a busy machine, a debugger, a stop signal): the wall clock and the
    // steady time move on by `milliseconds` and no tick runs meanwhile.
    void stall(long long milliseconds) {
        clock.advance(milliseconds);
        steady.advance(milliseconds);
    }

    // Sets the clock without running any tick in between; the timers go on as before, since
    // they run on the steady clock, not on the wall clock.
    void jumpTo(const engine::LocalDateTime& moment) { clock.set(moment); }
    void jumpToInstant(std::time_t instant) { clock.setInstant(instant); }

    // How many countdown dialogs exist as windows right now.
    static int dialogWindows();

private:
    void noteNewDialog();

    const CountdownForm* dialogSeen_ = nullptr;
    long long dialogLoadedAt_ = 0;
};

}  // namespace zeravan::test
