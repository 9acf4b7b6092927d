// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "not_started_notice.h"

#include <QMessageBox>
#include <QPushButton>
#include <iostream>

#include "app/forms/controls.h"

namespace zeravan::app {

void sayNotStarted(const platform::SingleInstanceProblem& why) {
    std::cerr << "Zeravan 无法确保只运行一份：" << why.chinese
              << "。程序没有启动。\n"
                 "Zeravan cannot make sure that only one copy runs: "
              << why.english << ". It has not started.\n";
    QMessageBox notice(QMessageBox::Warning, QStringLiteral("Zeravan"),
                       QStringLiteral("Zeravan 没有启动"));
    notice.setInformativeText(QStringLiteral("无法确保只运行一份 Zeravan：") +
                              QString::fromStdString(why.chinese) +
                              QStringLiteral("。\n\n以免两份程序各自关机，本次不启动。"));
    notice.setFont(forms::songFont(12));
    notice.addButton(QStringLiteral("关 闭"), QMessageBox::AcceptRole);
    notice.exec();
}

}  // namespace zeravan::app
