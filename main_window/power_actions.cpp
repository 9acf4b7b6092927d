// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The hidden power buttons (shut down, restart, log off) and what became of their requests.
#include "app/forms/qt_text.h"
#include "engine/schedule.h"
#include "engine/texts.h"
#include "main_window/main_window_form.h"

namespace zeravan {

using platform::PowerAction;

static_assert(platform::defaultSessionEndDeadlineMs == 2 * 60'000,
              "the overdue texts say two minutes");

void MainWindowForm::EnableShutdownPrivilege() {
    services_.power.enableShutdownPrivilege();
}

void MainWindowForm::Command1_Click() {
    EnableShutdownPrivilege();
    services_.power.request(PowerAction::PowerOff);
}

void MainWindowForm::Command2_Click() {
    EnableShutdownPrivilege();
    services_.power.request(PowerAction::Reboot);
}

void MainWindowForm::Command3_Click() {
    services_.power.request(PowerAction::LogOff);
}

namespace {

// What the status line says of a request of each kind.
struct ActionWords {
    std::string_view taken;
    std::string_view refused;
};

ActionWords wordsFor(PowerAction action) {
    switch (action) {
        case PowerAction::PowerOff:
            return {engine::powerOffTakenStatus, engine::powerOffRefusedText};
        case PowerAction::Reboot:
            return {engine::rebootTakenStatus, engine::rebootRefusedText};
        case PowerAction::LogOff:
            return {engine::logOffTakenStatus, engine::logOffRefusedText};
    }
    Q_UNREACHABLE();
}

}  // namespace

// The status line's words, with the system's own in its tooltip; the countdown's in its place.
void MainWindowForm::reportEnd(std::string_view status, const QString& reason,
                               std::string_view countdownText) {
    Label6->setCaption(forms::q(status));
    Label6->setToolTip(reason);
    emit powerRequestEnded(forms::q(countdownText));
}

// The system has it, and the desktop may ask the user or the programs now: nothing is counted
// any more, and the desktop's dialogs are not to be covered.
void MainWindowForm::reportTaken(PowerAction action) {
    const std::string_view status = wordsFor(action).taken;
    Label6->setCaption(forms::q(status));
    Label6->setToolTip({});
    emit powerRequestTaken(forms::q(status) + forms::q(engine::takenCountdownAdvice));
}

void MainWindowForm::reportRefusal(PowerAction action, const QString& reason) {
    const std::string_view message = wordsFor(action).refused;
    reportEnd(message, reason, message);
}

// Nobody could be asked: the same words as when arming found the power service out of reach.
void MainWindowForm::reportUnreachable(PowerAction, const QString& reason) {
    reportEnd(engine::unreachableText, reason, engine::unreachableText);
}

void MainWindowForm::reportLost(PowerAction, const QString& reason) {
    reportEnd(engine::lostText, reason, engine::lostText);
}

// The desktop said the shutdown was called off. The schedule stays armed for the same time
// again, as after a miss.
void MainWindowForm::reportCancelled(PowerAction, const QString& reason) {
    const bool today = comesAgainToday();
    reportEnd(today ? engine::cancelledStatusToday : engine::cancelledStatus, reason,
              engine::cancelledCountdownText);
}

// The session still runs, and the desktop has no word for why: all the program knows is that
// the shutdown did not happen. The schedule goes on as after a miss.
void MainWindowForm::reportOverdue(PowerAction, const QString& reason) {
    const bool today = comesAgainToday();
    reportEnd(today ? engine::overdueStatusToday : engine::overdueStatus, reason,
              today ? engine::overdueCountdownTextToday : engine::overdueCountdownText);
}

bool MainWindowForm::comesAgainToday() const {
    return engine::comesLaterToday(forms::u8(Text1.Text), forms::u8(Text2.Text));
}

}  // namespace zeravan
