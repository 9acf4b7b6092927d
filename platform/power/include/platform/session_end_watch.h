// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The watch of an accepted power request until the session ends or it is overdue.
#pragma once

#include <QObject>
#include <QTimer>

#include "platform/power_port.h"

namespace zeravan::platform {

// Watches a power request the system has taken until the session ends. A shutdown that goes
// ahead ends this program; one that was called off (the user cancelled at a program's "save
// changes?", a desktop's dialog, an inhibitor) leaves it running. The system's own word that it
// was called off comes through calledOff() and is told as `cancelled`. Where the system has no
// such word, the program still running at the deadline is told as `overdue`: all that is known
// then is that the shutdown has not happened. Either is told once.
class SessionEndWatch final : public QObject {
    Q_OBJECT
public:
    explicit SessionEndWatch(int deadlineMs = defaultSessionEndDeadlineMs,
                             QObject* parent = nullptr);

    // `saysWhenCalledOff`: the system says so when the end of the session is called off, so no
    // deadline runs; its word is heeded either way.
    void begin(PowerAction action, bool saysWhenCalledOff);
    void calledOff(const QString& reason);
    void stop();
    bool isWatching() const { return watching_; }

signals:
    void cancelled(zeravan::platform::PowerAction action, const QString& reason);
    void overdue(zeravan::platform::PowerAction action, const QString& reason);

private:
    QTimer deadline_;
    PowerAction action_ = PowerAction::PowerOff;
    bool watching_ = false;
};

}  // namespace zeravan::platform
