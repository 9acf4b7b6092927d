#pragma once

#include <QComboBox>
#include <QFrame>
#include <QMenu>
#include <QPushButton>

#include "app/forms/controls.h"
#include "app/forms/form.h"
#include "engine/due_second.h"
#include "main_window/main_window_services.h"

namespace zeravan {

// The main window, form1: the clock, the schedule panel and the hidden state holders.
class MainWindowForm : public forms::Form {
    Q_OBJECT
public:
    explicit MainWindowForm(MainWindowServices services);

    // Window
    QFrame* Frame2;
    platform::PageView* WebBrowser1;
    QFrame* Frame1;
    forms::Label* Label15;
    forms::Label* Label7;
    forms::Label* Label4;
    forms::Label* Label3;
    forms::Picture* Image2;
    // Frame1
    QComboBox* Combo1;
    QComboBox* Combo2;
    QComboBox* Combo3;
    QPushButton* Command4;
    forms::Label* Label16;
    forms::Label* Label14;
    forms::Label* Label13;
    forms::Label* Label12;
    forms::Label* Label11;
    forms::Label* Label10;
    forms::Label* Label9;
    forms::Label* Label8;
    forms::Label* Label6;
    forms::Label* Label5;
    forms::Label* Label1;
    forms::Label* Label2;
    forms::Picture* Image1;
    // State holders and actions that are never seen
    forms::TextBox Text1;
    forms::TextBox Text2;
    forms::TextBox Text3;
    forms::TextBox Text4;
    forms::TextBox Text5;
    forms::CommandButton Command1;
    forms::CommandButton Command2;
    forms::CommandButton Command3;
    QTimer* Timer1;
    QTimer* Timer2;
    // The tray popup
    QMenu* f00;
    QMenu* F01;
    QAction* F02;

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

signals:
    // A power request was refused by the system; the message is for the user.
    void powerRequestRefused(const QString& message);

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
    void reportRefusal(platform::PowerAction action, const QString& reason);
    void WindowStyle();
    void restoreFromTray();

    MainWindowServices services_;
    QPoint placeBeforeTray_;
    bool resizePending_ = false;
    engine::DueSecond triggerSecond_;
    // Counts armings, so that the system's answer for an earlier one is not applied to a later.
    unsigned armings_ = 0;
};

}  // namespace zeravan
