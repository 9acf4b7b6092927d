// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "platform/session_end_watch.h"

namespace zeravan::platform {

SessionEndWatch::SessionEndWatch(int deadlineMs, QObject* parent) : QObject(parent) {
    deadline_.setSingleShot(true);
    deadline_.setInterval(deadlineMs);
    connect(&deadline_, &QTimer::timeout, this, [this] {
        emit cancelled(action_, QStringLiteral("the session still runs %1 s after the request")
                                    .arg(deadline_.interval() / 1000));
    });
}

void SessionEndWatch::begin(PowerAction action) {
    action_ = action;
    deadline_.start();
}

void SessionEndWatch::calledOff(const QString& reason) {
    if (!isWatching()) return;
    deadline_.stop();
    emit cancelled(action_, reason);
}

void SessionEndWatch::stop() {
    deadline_.stop();
}

}  // namespace zeravan::platform
