// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// Arming and the trigger tick: the schedule's state is the confirm button's caption.
#include "engine/schedule.h"
#include "app/forms/qt_text.h"
#include "engine/choice_check.h"
#include "engine/texts.h"
#include "main_window/main_window_form.h"

namespace zeravan {

using forms::q;
using forms::u8;

void MainWindowForm::Command4_Click() {
    if (engine::isArmed(u8(Command4->text()))) {
        disarm();
    } else {
        arm();
    }
}

// Refuses a schedule that could never fire; the system's say comes later (askPowerPermission).
void MainWindowForm::arm() {
    const engine::ChoiceCheck check = engine::checkChoices(
        u8(Combo1->currentText()), u8(Combo2->currentText()), u8(Combo3->currentText()));
    if (!check.accepted) {
        Label6->setCaption(q(check.problem));
        return;
    }
    triggerSecond_.reset();
    // 明天 confirmed today means the day after today, whenever it was picked.
    chosenDay_.madeOn(services_.clock.now().date);
    Combo1->setEditText(q(check.day));
    Combo2->setEditText(q(check.hour));
    Combo3->setEditText(q(check.minute));

    Combo2->setEnabled(false);
    Combo3->setEnabled(false);
    Combo1->setEnabled(false);
    Command4->setText(q(engine::armedCaption));
    Label14->setVisible(false);
    Label6->setCaption(q(engine::runningStatus));
    askPowerPermission();
}

void MainWindowForm::disarm() {
    Combo1->setEnabled(true);
    Combo2->setEnabled(true);
    Combo3->setEnabled(true);
    Command4->setText(q(engine::confirmCaption));
    Text3.Text.clear();
    Label14->setVisible(true);
    for (forms::Label* caption : {Label11, Label12, Label13, Label10, Label9, Label8}) {
        caption->setCaption({});
    }
    Label6->setCaption(q(engine::stoppedStatus));
}

void MainWindowForm::Timer1_Timer() {
    const bool armed = engine::isArmed(u8(Command4->text()));
    const QString now = q(engine::nowString(services_.clock.now()));
    Label4->setCaption(now);
    Text1.Text = now;

    if (!armed) {
        Text3.Text.clear();
        Text2.Text.clear();
        return;
    }
    const std::string date = u8(Text4.Text);
    const std::string hour = u8(Combo2->currentText());
    const std::string minute = u8(Combo3->currentText());
    Text2.Text = q(engine::triggerString(date, hour, minute));
    Text3.Text = q(engine::shutdownString(date, hour, minute));

    Label8->setCaption(QStringLiteral("关机时间："));
    Label9->setCaption(Combo1->currentText());
    Label10->setCaption(Combo2->currentText());
    Label11->setCaption(Combo3->currentText());
    Label12->setCaption(QStringLiteral("点"));
    Label13->setCaption(QStringLiteral("分"));

    // Also a few seconds late after a stall, and only the first time round, should the trigger
    // second come twice.
    switch (triggerSecond_.check(u8(Text1.Text), u8(Text2.Text))) {
        case engine::Due::Now:
            Label6->setCaption(q(engine::runningStatus));
            services_.showCountdown();
            break;
        case engine::Due::Missed:
            Label6->setCaption(q(engine::missedStatusFor(u8(Text1.Text), u8(Text2.Text))));
            break;
        case engine::Due::No:
            break;
    }
}

bool MainWindowForm::endForInstaller() {
    if (engine::isArmed(u8(Command4->text()))) return false;
    F02_Click();
    return true;
}

}  // namespace zeravan
