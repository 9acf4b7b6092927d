// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "countdown_alert.h"

#include <QAccessibleWidget>

#include "countdown_dialog/countdown_form.h"

namespace zeravan {

namespace {

QAccessibleInterface* countdownAsAlert(const QString& className, QObject* object) {
    Q_UNUSED(className);
    auto* countdown = qobject_cast<CountdownForm*>(object);
    return countdown != nullptr ? new QAccessibleWidget(countdown, QAccessible::AlertMessage)
                                : nullptr;
}

}  // namespace

void presentCountdownAsAlert() {
    // Qt keeps one copy of each factory, so asking again changes nothing.
    QAccessible::installFactory(countdownAsAlert);
}

}  // namespace zeravan
