// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The countdown dialog (Form2) and the services it is given.
#pragma once

// The countdown dialog, Form2; every handler is in countdown_form.cpp.

#include <QIcon>
#include <QPushButton>
#include <functional>

#include "app/forms/controls.h"
#include "app/forms/form.h"
#include "engine/clock.h"
#include "engine/due_second.h"
#include "main_window/main_window_form.h"

namespace zeravan {

struct CountdownServices {
    // The main window's global instance; referring to it loads it if needed.
    std::function<MainWindowForm&()> form1;
    const engine::SteadyClock& steady;  // what the count goes by
    QIcon icon;
};

// The countdown dialog, Form2: counts down to the shutdown, presses the main window's shutdown
// button in the shutdown second, and lets the user cancel. It stays above the other windows
// until the system has the shutdown. It never counts below 0, nor for a shutdown that will not
// come: from the shutdown second on, what became of the shutdown is said in words, and a
// schedule disarmed in the main window closes it.
class CountdownForm : public forms::Form {
    Q_OBJECT
public:
    explicit CountdownForm(CountdownServices services);

    forms::Label* Label1;   // "离关机时间还有", or what stopped the count
    forms::Label* Label2;   // the count of seconds
    forms::Label* Label3;   // "秒" after the count
    QPushButton* Command1;  // cancel: disarms the schedule; once the outcome is said, close
    QTimer* Timer1;         // watcher: presses the shutdown button in the shutdown second
    QTimer* Timer2;         // the count's second tick

    void Timer1_Timer();
    void Timer2_Timer();
    void Command1_Click();

protected:
    void Form_Load() override;
    void Form_QueryUnload(bool& cancel, forms::UnloadMode mode) override;
    void showEvent(QShowEvent* event) override;

private:
    void showTaken(const QString& message);
    void stopCountingAndSay(const QString& message);
    void sayOutcome(const QString& message);
    bool isCounting() const;

    CountdownServices services_;
    engine::DueSecond shutdownSecond_;
    int openingCount_ = 0;      // the count shown on opening
    long long openedAtMs_ = 0;  // when, on the steady clock
    bool shutdownAsked_ = false;
    bool outcomeSaid_ = false;  // what became of today's shutdown is said
};

}  // namespace zeravan
