// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The main window (form1) and the files its handlers are spread over.
#pragma once

// The main window, form1. Its handlers are spread over files by what they do:
//   layout.cpp            the controls as designed, the tab order, which handler each event runs
//   clock_tick.cpp        Timer2_Timer: weekday, target date, current time
//   schedule.cpp          Command4_Click (arm, disarm), Timer1_Timer: the trigger tick,
//                         endForInstaller
//   power_permission.cpp  the system's answer on arming
//   power_actions.cpp     Command1_Click, Command2_Click, Command3_Click, the system's answers
//   tray.cpp              Form_Resize, WindowStyle, Form_MouseMove, bringBack, F01_Click,
//                         F02_Click, Form_QueryUnload
//   links.cpp             Form_Load (the web band's page), Label15_Click, Label16_Click

#include <QComboBox>
#include <QFrame>
#include <QMenu>
#include <QPushButton>

#include "app/forms/controls.h"
#include "app/forms/form.h"
#include "engine/due_second.h"
#include "engine/schedule.h"
#include "main_window/main_window_services.h"

namespace zeravan {

// The main window, form1: the clock, the schedule panel and the hidden state holders.
class MainWindowForm : public forms::Form {
    Q_OBJECT
public:
    explicit MainWindowForm(MainWindowServices services);

    // Window
    QFrame* Frame2;                   // holder of the web band, clipping the panel
    platform::PageView* WebBrowser1;  // the web band: the page under the schedule panel
    QFrame* Frame1;                   // the schedule panel
    forms::Label* Label15;            // maker caption, a link to the home page
    forms::Label* Label7;             // weekday of today
    forms::Label* Label4;             // now string, as Text1 holds it
    forms::Label* Label3;             // "现在：", the caption before the now string
    forms::Picture* Image2;           // background picture of the window
    // Frame1
    QComboBox* Combo1;       // day choice: 今天 or 明天
    QComboBox* Combo2;       // hour choice
    QComboBox* Combo3;       // minute choice
    QPushButton* Command4;   // confirm button; its caption is the schedule's state
    forms::Label* Label16;   // "访问 官网", a link to the site folder
    forms::Label* Label14;   // hint to set a time, hidden while armed
    forms::Label* Label13;   // "分" after the shutdown minute
    forms::Label* Label12;   // "点" after the shutdown hour
    forms::Label* Label11;   // shutdown-time minute
    forms::Label* Label10;   // shutdown-time hour
    forms::Label* Label9;    // shutdown-time day
    forms::Label* Label8;    // "关机时间：", the shutdown-time caption
    forms::Label* Label6;    // status line: stopped, running, missed, refused …
    forms::Label* Label5;    // "目 前 状 态：", the caption before the status line
    forms::Label* Label1;    // "分关闭电脑" after the minute choice
    forms::Label* Label2;    // "时" after the hour choice
    forms::Picture* Image1;  // background picture of the panel
    // State holders and actions that are never seen
    forms::TextBox Text1;           // now string
    forms::TextBox Text2;           // trigger string: when the countdown opens
    forms::TextBox Text3;           // shutdown string: when the power-off is asked
    forms::TextBox Text4;           // target date: today or tomorrow
    forms::TextBox Text5;           // current time
    forms::CommandButton Command1;  // shut down
    forms::CommandButton Command2;  // restart
    forms::CommandButton Command3;  // log off
    QTimer* Timer1;                 // trigger tick (schedule.cpp)
    QTimer* Timer2;                 // clock tick (clock_tick.cpp)
    // The tray popup
    QMenu* f00;    // the popup, opened by the right button on the tray icon
    QMenu* F01;    // "打开": brings the window back
    QAction* F02;  // "退出" inside 打开: ends the program

    void Timer1_Timer();
    void Timer2_Timer();
    void Command4_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Form_Resize();
    void Form_MouseMove(float x);
    void F01_Click();
    void F02_Click();
    void Label15_Click();
    void Label16_Click();

    // Brings the window back as a double click on the tray icon does: shown where it was,
    // active and focused, out of the tray if it was there; an icon in the tray stays. Another
    // start of the program asks for this too.
    void bringBack();

    // The installer or the uninstaller asks the program to end, so that it can replace or remove
    // its files. It ends as 退出 does, unless a shutdown is set (the countdown opens only while
    // one is), which would be lost with it. Returns whether it is ending.
    bool endForInstaller();

signals:
    // The system has the power request and carries it out in its own time; the message is for
    // the user, in place of the count.
    void powerRequestTaken(const QString& message);
    // A power request ended without ending the session (refused, out of reach, its answer lost,
    // called off, or not carried out in time); the message is for the user, in place of the
    // count.
    void powerRequestEnded(const QString& message);

protected:
    void Form_Load() override;
    void Form_QueryUnload(bool& cancel, forms::UnloadMode mode) override;
    void changeEvent(QEvent* event) override;

private:
    void buildWindow();
    void buildSchedulePanel();
    void buildWebBand();
    void buildHiddenControls();
    void buildMenu();
    void setTabOrder();
    void connectHandlers();

    void arm();
    void disarm();
    void askPowerPermission();
    void applyPowerPermission(unsigned arming, platform::PowerPermission permission);
    void EnableShutdownPrivilege();
    void reportTaken(platform::PowerAction action);
    void reportRefusal(platform::PowerAction action, const QString& reason);
    void reportUnreachable(platform::PowerAction action, const QString& reason);
    void reportLost(platform::PowerAction action, const QString& reason);
    void reportCancelled(platform::PowerAction action, const QString& reason);
    void reportOverdue(platform::PowerAction action, const QString& reason);
    void reportEnd(std::string_view status, const QString& reason, std::string_view countdownText);
    // Whether the schedule's time comes again later today, after a shutdown that did not come.
    bool comesAgainToday() const;
    void WindowStyle();
    void restoreFromTray();

    MainWindowServices services_;
    QPoint placeBeforeTray_;
    bool resizePending_ = false;
    engine::DueSecond triggerSecond_;
    engine::ChosenDay chosenDay_;  // the calendar day the day choice was made on
    // Counts armings, so that the system's answer for an earlier one is not applied to a later.
    unsigned armings_ = 0;
};

}  // namespace zeravan
