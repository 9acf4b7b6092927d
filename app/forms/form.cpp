// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "app/forms/form.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

#include "app/forms/own_title_bar.h"

namespace zeravan::forms {

Form::Form(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_DeleteOnClose);
}

void Form::Load() {
    if (OwnTitleBar::neededOnThisPlatform()) OwnTitleBar::addTo(*this);
    loaded_ = true;
    for (QTimer* timer : timers_) timer->start();
    Form_Load();
}

// Showing a form that is already on screen leaves it alone: the trigger tick shows the
// countdown ten times a second, and must not steal the focus each time.
void Form::Show() {
    if (isVisible()) return;
    show();
    if (!testAttribute(Qt::WA_ShowWithoutActivating)) activateWindow();
}

void Form::Hide() {
    hide();
}

void Form::Unload(UnloadMode mode) {
    pendingMode_ = mode;
    close();
    pendingMode_ = UnloadMode::UserClosed;
}

void Form::centreOnScreen() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

QTimer* Form::addTimer(int intervalMs, std::function<void()> onTimer) {
    auto* timer = new QTimer(this);
    timer->setInterval(intervalMs);
    connect(timer, &QTimer::timeout, this, std::move(onTimer));
    timers_.append(timer);
    return timer;
}

void Form::closeEvent(QCloseEvent* event) {
    if (!loaded_) {
        event->accept();
        return;
    }
    bool cancel = false;
    Form_QueryUnload(cancel, pendingMode_);
    if (cancel) {
        event->ignore();
        return;
    }
    loaded_ = false;
    for (QTimer* timer : timers_) timer->stop();
    event->accept();
    emit unloaded();
}

}  // namespace zeravan::forms
