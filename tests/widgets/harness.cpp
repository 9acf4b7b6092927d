#include "tests/widgets/harness.h"

#include <QApplication>

namespace zeravan::test {

Harness::Harness(engine::LocalDateTime start)
    : clock(start),
      globals(
          [this] {
              auto window = std::make_unique<MainWindowForm>(MainWindowServices{
                  clock, power, tray, links, module,
                  [this] {
                      ++showCalls;
                      globals.Form2.Show();
                  },
                  [this] { ++endCalls; }, [](QWidget* frame) { return new FakePageView(frame); },
                  QPixmap(), QIcon()});
              return window;
          },
          QIcon(), [this] { ++endCalls; }) {
    stopTimersOfNewForms();
}

void Harness::arm(const QString& day, const QString& hour, const QString& minute) {
    form1().Combo1->setEditText(day);
    form1().Combo2->setEditText(hour);
    form1().Combo3->setEditText(minute);
    forms::press(*form1().Command4);
}

void Harness::stopTimersOfNewForms() {
    MainWindowForm& window = form1();
    window.Timer1->stop();
    window.Timer2->stop();
    CountdownForm* countdown = dialog();
    if (countdown && countdown != dialogSeen_) {
        countdown->Timer1->stop();
        countdown->Timer2->stop();
        dialogSeen_ = countdown;
        dialogLoadedAt_ = clock.milliseconds();
    }
    if (!countdown) dialogSeen_ = nullptr;
}

void Harness::run(long long milliseconds, const std::function<void()>& afterStep) {
    for (long long elapsed = 0; elapsed < milliseconds; elapsed += 100) {
        stopTimersOfNewForms();
        clock.advance(100);
        form1().Timer2_Timer();
        form1().Timer1_Timer();
        stopTimersOfNewForms();
        if (CountdownForm* countdown = dialog()) {
            const long long sinceLoad = clock.milliseconds() - dialogLoadedAt_;
            if (sinceLoad > 0 && sinceLoad % 1000 == 0) countdown->Timer2_Timer();
            if (dialog() == countdown) countdown->Timer1_Timer();
        }
        stopTimersOfNewForms();
        if (afterStep) afterStep();
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
