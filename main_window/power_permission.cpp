// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The system's say on a schedule just armed: asked without waiting, applied when it comes.
#include <QPointer>

#include "app/forms/qt_text.h"
#include "engine/schedule.h"
#include "engine/texts.h"
#include "main_window/main_window_form.h"

namespace zeravan {

using platform::PowerPermission;

namespace {

// What the status line says instead of the running status; empty where that stays.
QString permissionStatus(PowerPermission permission) {
    switch (permission) {
        case PowerPermission::Yes:
            return {};
        case PowerPermission::Challenge:
            return forms::q(engine::challengeStatus);
        case PowerPermission::No:
        case PowerPermission::NotApplicable:
            return forms::q(engine::notAllowedStatus);
        case PowerPermission::Unreachable:
            return forms::q(engine::unreachableText);
    }
    Q_UNREACHABLE();
}

bool refusesArming(PowerPermission permission) {
    return permission != PowerPermission::Yes && permission != PowerPermission::Challenge;
}

}  // namespace

// The schedule is armed already; only a definite refusal, or no answer at all, undoes it.
void MainWindowForm::askPowerPermission() {
    const unsigned arming = ++armings_;
    services_.power.askPowerOffPermission(
        this, [form = QPointer<MainWindowForm>(this), arming](PowerPermission permission) {
            if (form) form->applyPowerPermission(arming, permission);
        });
}

// An answer that comes after the user disarmed, or armed again, belongs to a schedule that is
// gone: it changes nothing.
void MainWindowForm::applyPowerPermission(unsigned arming, PowerPermission permission) {
    if (arming != armings_ || !engine::isArmed(forms::u8(Command4->text()))) return;
    const QString status = permissionStatus(permission);
    if (refusesArming(permission)) disarm();
    if (!status.isEmpty()) Label6->setCaption(status);
}

}  // namespace zeravan
