// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "app/global_forms.h"

namespace zeravan::app {

GlobalForms::GlobalForms(MainWindowFactory makeMainWindow, const engine::SteadyClock& steady,
                         QIcon countdownIcon, std::function<void()> end)
    : form1([this, makeMainWindow = std::move(makeMainWindow)] {
          auto window = makeMainWindow([this] { Form2.Show(); });
          QObject::connect(window.get(), &forms::Form::unloaded, window.get(), [this] {
              if (Form2.isLoaded()) Form2->Unload();
              end_();
          });
          return window;
      }),
      Form2([this, &steady, countdownIcon = std::move(countdownIcon)] {
          return std::make_unique<CountdownForm>(CountdownServices{
              [this]() -> MainWindowForm& { return *form1; }, steady, countdownIcon});
      }),
      end_(std::move(end)) {}

}  // namespace zeravan::app
