// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "platform/session_end_watch.h"

namespace zeravan::platform {

SessionEndWatch::SessionEndWatch(int deadlineMs, QObject* parent) : QObject(parent) {
    deadline_.setSingleShot(true);
    deadline_.setInterval(deadlineMs);
    connect(&deadline_, &QTimer::timeout, this, [this] {
        watching_ = false;
        emit overdue(action_, QStringLiteral("the session still runs %1 s after the request")
                                  .arg(deadline_.interval() / 1000));
    });
}

void SessionEndWatch::begin(PowerAction action, bool saysWhenCalledOff) {
    action_ = action;
    watching_ = true;
    if (saysWhenCalledOff) {
        deadline_.stop();
    } else {
        deadline_.start();
    }
}

void SessionEndWatch::calledOff(const QString& reason) {
    if (!watching_) return;
    stop();
    emit cancelled(action_, reason);
}

void SessionEndWatch::stop() {
    watching_ = false;
    deadline_.stop();
}

}  // namespace zeravan::platform
