// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The hidden power buttons: shut down, restart, log off.
#include "app/forms/qt_text.h"
#include "engine/schedule.h"
#include "main_window/main_window_form.h"

namespace zeravan {

using platform::PowerAction;

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

// Nobody could be asked: the same words as when arming found the power service out of reach.
void MainWindowForm::reportUnreachable(PowerAction action, const QString& reason) {
    Q_UNUSED(action);
    const QString message = QStringLiteral("无法连接系统电源服务");
    Label6->setCaption(message);
    Label6->setToolTip(reason);
    emit powerRequestRefused(message);
}

// The request was accepted, but the session goes on: someone called the end off. The schedule
// stays armed for the same time again, as after a miss.
void MainWindowForm::reportCancelled(PowerAction action, const QString& reason) {
    Q_UNUSED(action);
    const QString now = Text1.Text;
    const QString shownInCountdown = QStringLiteral("关机被系统或程序取消");
    const QString comesAgain = engine::comesLaterToday(forms::u8(now), forms::u8(Text2.Text))
                                   ? QStringLiteral("今天照常执行")
                                   : QStringLiteral("明天照常执行");
    Label6->setCaption(shownInCountdown + QStringLiteral("，") + comesAgain);
    Label6->setToolTip(reason);
    emit powerRequestRefused(shownInCountdown);
}

void MainWindowForm::reportRefusal(PowerAction action, const QString& reason) {
    QString message;
    switch (action) {
        case PowerAction::PowerOff:
            message = QStringLiteral("关机被系统拒绝");
            break;
        case PowerAction::Reboot:
            message = QStringLiteral("重启被系统拒绝");
            break;
        case PowerAction::LogOff:
            message = QStringLiteral("注销被系统拒绝");
            break;
    }
    Label6->setCaption(message);
    Label6->setToolTip(reason);
    emit powerRequestRefused(message);
}

}  // namespace zeravan
