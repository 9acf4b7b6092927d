// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The hidden power buttons: shut down, restart, log off.
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
