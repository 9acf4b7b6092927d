// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "app/forms/popups_stay_open.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace zeravan::forms {

PopupsStayOpen::PopupsStayOpen() {
    QCoreApplication::instance()->installEventFilter(this);
}

PopupsStayOpen::~PopupsStayOpen() {
    QCoreApplication::instance()->removeEventFilter(this);
}

// A popup that ignores its close event stays open, and Qt stops closing the others.
bool PopupsStayOpen::eventFilter(QObject* watched, QEvent* event) {
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (event->type() == QEvent::Close && widget && widget->windowType() == Qt::Popup) {
        event->ignore();
        return true;
    }
    return false;
}

}  // namespace zeravan::forms
