// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "harness.h"

#include <QApplication>

namespace zeravan::test {

Harness::Harness(engine::LocalDateTime start, PanelFactory makePanel,
                 platform::PowerPort* systemPower)
    : clock(start),
      globals(
          [this, makePanel = std::move(makePanel),
           systemPower](app::GlobalForms::ShowCountdown showCountdown) {
              auto window = std::make_unique<MainWindowForm>(MainWindowServices{
                  clock, systemPower != nullptr ? *systemPower : power, tray, links, module,
                  [this, showCountdown = std::move(showCountdown)] {
                      ++showCalls;
                      showCountdown();
                  },
                  [this] { ++endCalls; },
                  makePanel ? makePanel : [](QWidget* frame) -> platform::PageView* {
                      return new FakePageView(frame);
                  },
                  QPixmap(), QIcon()});
              return window;
          },
          steady, QIcon(), [this] { ++endCalls; }) {
    noteNewDialog();
}

void Harness::arm(const QString& day, const QString& hour, const QString& minute) {
    form1().Combo1->setEditText(day);
    form1().Combo2->setEditText(hour);
    form1().Combo3->setEditText(minute);
    forms::press(*form1().Command4);
}

void Harness::noteNewDialog() {
    CountdownForm* countdown = dialog();
    if (countdown && countdown != dialogSeen_) {
        dialogSeen_ = countdown;
        dialogLoadedAt_ = steady.milliseconds();
    }
    if (!countdown) dialogSeen_ = nullptr;
}

void Harness::run(long long milliseconds, const std::function<void()>& afterStep) {
    for (long long elapsed = 0; elapsed < milliseconds; elapsed += 100) {
        noteNewDialog();
        clock.advance(100);
        steady.advance(100);
        MainWindowForm& window = form1();
        if (window.Timer2->isActive()) window.Timer2_Timer();
        if (window.Timer1->isActive()) window.Timer1_Timer();
        noteNewDialog();
        if (CountdownForm* countdown = dialog()) {
            const long long sinceLoad = steady.milliseconds() - dialogLoadedAt_;
            if (sinceLoad > 0 && sinceLoad % 1000 == 0 && countdown->Timer2->isActive()) {
                countdown->Timer2_Timer();
            }
            if (dialog() == countdown && countdown->Timer1->isActive()) countdown->Timer1_Timer();
        }
        noteNewDialog();
        if (afterStep) afterStep();
        // Forms unloaded in this step are deleted, as the event loop would between two ticks.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

void Harness::runUntil(const engine::LocalDateTime& moment,
                       const std::function<void()>& afterStep) {
    run(engine::wallSeconds(moment) * 1000 - clock.milliseconds(), afterStep);
}

int Harness::dialogWindows() {
    int count = 0;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* countdown = qobject_cast<CountdownForm*>(window);
        count += countdown && countdown->isLoaded() ? 1 : 0;
    }
    return count;
}

}  // namespace zeravan::test
