// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The clock tick: weekday, target date and current time, ten times a second.
#include "app/forms/qt_text.h"
#include "engine/texts.h"
#include "main_window/main_window_form.h"

namespace zeravan {

using forms::q;

void MainWindowForm::Timer2_Timer() {
    // One reading for the whole tick, so that weekday, date and time agree across a midnight.
    const engine::LocalDateTime now = services_.clock.now();
    Label7->setCaption(q(engine::weekdayName(now.date)));

    // By the calendar, in either state: on the day 明天 pointed at, or once it went by unseen,
    // the choice reads 今天 again.
    const engine::ChosenDay::Reading day =
        chosenDay_.read(now.date, Combo1->currentText() == Combo1->itemText(0));
    if (day.backToFirstItem) Combo1->setEditText(Combo1->itemText(0));
    Text4.Text = q(engine::dateText(day.target));

    Text5.Text = q(engine::timeText(now.time));
}

}  // namespace zeravan
