// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The clock tick: weekday, target date and current time, ten times a second.
#include "app/forms/qt_text.h"
#include "engine/schedule.h"
#include "engine/texts.h"
#include "main_window/main_window_form.h"

namespace zeravan {

using forms::q;
using forms::u8;

void MainWindowForm::Timer2_Timer() {
    // One reading for the whole tick, so that weekday, date and time agree across a midnight.
    const engine::LocalDateTime now = services_.clock.now();
    Label7->setCaption(q(engine::weekdayName(now.date)));

    const engine::CivilDate target =
        engine::targetDate(now.date, u8(Combo1->currentText()), u8(Combo1->itemText(0)));
    Text4.Text = q(engine::dateText(target));

    Text5.Text = q(engine::timeText(now.time));

    // At the start of each day the day choice returns to its first item, in either state.
    if (engine::isDayResetSecond(u8(Text5.Text))) Combo1->setEditText(Combo1->itemText(0));
}

}  // namespace zeravan
