// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QTimer>

#include "platform/power_port.h"

namespace zeravan::platform {

// Watches a power request the system accepted until the session ends. A shutdown that goes ahead
// ends this program; one that was called off (the user cancelled at a program's "save changes?",
// a desktop's dialog, an inhibitor) leaves it running. The desktop's own word that it was called
// off comes through calledOff(); otherwise the program still running at the deadline is the
// sign. Either is told once, as `cancelled`.
class SessionEndWatch final : public QObject {
    Q_OBJECT
public:
    // GNOME Shell's end-session dialog counts down 60 s before it goes ahead, and a desktop that
    // lets programs save gives them time for it; a shutdown that goes ahead ends the session
    // well within twice that.
    static constexpr int kDefaultDeadlineMs = 120'000;

    explicit SessionEndWatch(int deadlineMs = kDefaultDeadlineMs, QObject* parent = nullptr);

    void begin(PowerAction action);
    void calledOff(const QString& reason);
    void stop();
    bool isWatching() const { return deadline_.isActive(); }

signals:
    void cancelled(zeravan::platform::PowerAction action, const QString& reason);

private:
    QTimer deadline_;
    PowerAction action_ = PowerAction::PowerOff;
};

}  // namespace zeravan::platform
