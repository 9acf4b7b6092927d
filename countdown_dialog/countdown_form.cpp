// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "countdown_dialog/countdown_form.h"

#include <QShowEvent>
#include <QTimer>

#include "app/forms/qt_text.h"
#include "app/forms/twips.h"
#include "countdown_alert.h"
#include "engine/countdown.h"
#include "engine/schedule.h"
#include "engine/texts.h"
#include "platform/window_stacking.h"

namespace zeravan {

using forms::makeLabel;
using forms::twipsRect;

CountdownForm::CountdownForm(CountdownServices services) : services_(std::move(services)) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Orrimel"));
    presentCountdownAsAlert();
    setAccessibleName(QStringLiteral("关机倒计时"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    // A warning that comes while other windows cover its place: it must be seen.
    platform::keepAbove(*this);
    setWindowIcon(services_.icon);
    // It opens while the user may be typing into another program: keystrokes meant for that
    // program must not press the cancel button. A click or switching to it makes it active.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(forms::px(4290), forms::px(1515));
    setFont(forms::songFont(12));
    centreOnScreen();

    Label1 = makeLabel(this, QStringLiteral("Label1"), true, twipsRect(840, 360, 1260, 180),
                       QStringLiteral("离关机时间还有"));
    Label2 = makeLabel(this, QStringLiteral("Label2"), false, twipsRect(2280, 240, 375, 255), {},
                       forms::songFont(16));
    Label3 = makeLabel(this, QStringLiteral("Label3"), true, twipsRect(3000, 360, 180, 180),
                       QStringLiteral("秒"));
    Label2->setSpokenAs(QStringLiteral("离关机时间还有 "), QStringLiteral(" 秒"));
    Command1 = new QPushButton(QStringLiteral("取 消 关 机"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(twipsRect(960, 840, 2175, 495));
    Command1->setFont(forms::songFont(12, true));
    Command1->setDefault(true);
    Command1->setFocus();

    Timer1 = addTimer(100, [this] { Timer1_Timer(); });
    Timer2 = addTimer(1000, [this] { Timer2_Timer(); });
    connect(Command1, &QPushButton::clicked, this, &CountdownForm::Command1_Click);
}

void CountdownForm::Form_Load() {
    MainWindowForm& form1 = services_.form1();
    // Opened late after a stall, it counts from where it would be had it opened on time.
    openingCount_ = engine::openingCount(forms::u8(form1.Text1.Text), forms::u8(form1.Text3.Text));
    openedAtMs_ = services_.steady.milliseconds();
    Label2->setCaption(QString::number(openingCount_));
    shutdownSecond_.reset();
    shutdownAsked_ = false;
    outcomeSaid_ = false;
    connect(&form1, &MainWindowForm::powerRequestTaken, this, &CountdownForm::showTaken);
    connect(&form1, &MainWindowForm::powerRequestEnded, this, &CountdownForm::sayOutcome);
}

// Before it is mapped: where the window manager keeps no window above the others on request.
void CountdownForm::showEvent(QShowEvent* event) {
    Form::showEvent(event);
    if (!event->spontaneous()) platform::raiseWithoutKeepingFocus(*this);
}

// A second tick that comes late after a stall shows the time really left, not one less. The
// count stops at 0: a shutdown asked for and not answered yet is said in words, and one not
// asked for yet (the clock was set back) comes when the clock reaches its second.
void CountdownForm::Timer2_Timer() {
    const long long elapsedMs = services_.steady.milliseconds() - openedAtMs_;
    const std::string count =
        engine::countAfterTick(forms::u8(Label2->Caption()), openingCount_, elapsedMs);
    if (count.starts_with('-')) {
        Label2->setCaption(QStringLiteral("0"));
        if (shutdownAsked_) stopCountingAndSay(forms::q(engine::requestingCountdownText));
        return;
    }
    Label2->setCaption(forms::q(count));
}

// Presses in every tick of the shutdown second (or of the first second after it, when the program
// was held up for a moment across it), and not again should that second come round once more
// (the clock set back, or the hour repeated when daylight saving ends).
void CountdownForm::Timer1_Timer() {
    MainWindowForm& form1 = services_.form1();
    if (!engine::isArmed(forms::u8(form1.Command4->text()))) {
        Unload();  // disarmed in the main window: nothing is coming any more
        return;
    }
    switch (shutdownSecond_.check(forms::u8(form1.Text1.Text), forms::u8(form1.Text3.Text))) {
        case engine::Due::Now:
            shutdownAsked_ = true;
            form1.Command1.setValue(true);
            break;
        case engine::Due::Missed: {
            const std::string now = forms::u8(form1.Text1.Text);
            const std::string next = forms::u8(form1.Text3.Text);
            const bool today = engine::comesLaterToday(now, next);
            form1.Label6->setCaption(
                forms::q(today ? engine::missedStatusToday : engine::missedStatus));
            sayOutcome(
                forms::q(today ? engine::missedCountdownTextToday : engine::missedCountdownText));
            break;
        }
        case engine::Due::No:
            break;
    }
}

// Cancel leaves the schedule idle, whatever state the main window is in. Once the words say what
// became of today's shutdown, the button only puts them away: the schedule stays as the main
// window shows it, where 修改 disarms it.
void CountdownForm::Command1_Click() {
    if (outcomeSaid_) {
        Unload();
        return;
    }
    MainWindowForm& form1 = services_.form1();
    form1.Text3.Text.clear();
    if (engine::isArmed(forms::u8(form1.Command4->text()))) forms::press(*form1.Command4);
    Label2->setCaption(QString::number(engine::countdownStart));
    Unload();
}

// Closed with its close box while still counting: today's shutdown is off, and the main window
// says so, since the schedule stays armed for tomorrow.
void CountdownForm::Form_QueryUnload(bool& cancel, forms::UnloadMode mode) {
    Q_UNUSED(cancel);
    if (mode == forms::UnloadMode::UserClosed && isCounting() && !shutdownAsked_) {
        services_.form1().Label6->setCaption(forms::q(engine::skippedStatus));
    }
}

// The system has the shutdown: from now on the desktop and the programs may ask the user
// (save changes? cancel?), and their dialogs come on top of this one, which says what goes on.
void CountdownForm::showTaken(const QString& message) {
    sayOutcome(message);
    platform::stopKeepingAbove(*this);
}

// Today's shutdown is out of this program's hands: cancelling it is no longer the button's job.
void CountdownForm::sayOutcome(const QString& message) {
    stopCountingAndSay(message);
    outcomeSaid_ = true;
    Command1->setText(QStringLiteral("关 闭"));
}

void CountdownForm::stopCountingAndSay(const QString& message) {
    Timer1->stop();
    Timer2->stop();
    Label2->hide();
    Label3->hide();
    Label1->setCaption(message);
}

bool CountdownForm::isCounting() const {
    return Timer1->isActive();
}

}  // namespace zeravan
