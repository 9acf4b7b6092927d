// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "power_windows.h"

#include <QCoreApplication>
#include <string>

#include "win32_power_calls.h"

namespace zeravan::platform {

namespace {

unsigned exitFlagsFor(PowerAction action) {
    switch (action) {
        case PowerAction::PowerOff:
            return win32::exitShutdown;
        case PowerAction::Reboot:
            return win32::exitReboot;
        case PowerAction::LogOff:
            return win32::exitLogOff;
    }
    Q_UNREACHABLE();
}

}  // namespace

WindowsPowerPort::WindowsPowerPort(QObject* parent) : PowerPort(parent) {
    // Either ends the request: the next press is sent again.
    connect(&sessionEnd_, &SessionEndWatch::cancelled, this,
            [this](PowerAction action, const QString& reason) {
                gate_.refused(action);
                emit requestCancelled(action, reason);
            });
    connect(&sessionEnd_, &SessionEndWatch::overdue, this,
            [this](PowerAction action, const QString& reason) {
                gate_.refused(action);
                emit requestOverdue(action, reason);
            });
    QCoreApplication::instance()->installNativeEventFilter(this);
}

WindowsPowerPort::~WindowsPowerPort() {
    QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool WindowsPowerPort::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType == "windows_generic_MSG" && win32::isEndSessionCalledOff(message)) {
        sessionEnd_.calledOff(QStringLiteral("Windows: WM_ENDSESSION, the session is not ending"));
    }
    return false;  // Qt and the windows still see it
}

void WindowsPowerPort::enableShutdownPrivilege() {
    win32::enableShutdownPrivilege();
}

void WindowsPowerPort::request(PowerAction action) {
    if (!gate_.letThrough(*this, action)) return;
    sessionEnd_.stop();
    std::string reason;
    const bool accepted = win32::exitWindows(exitFlagsFor(action), reason);
    // Queued, so the outcome always arrives after request() returns.
    QMetaObject::invokeMethod(
        this,
        [this, action, accepted, reason = QString::fromLocal8Bit(reason)] {
            if (accepted) {
                gate_.accepted(action);
                sessionEnd_.begin(action, /*saysWhenCalledOff=*/false);
                emit requestTaken(action);
                emit requestAccepted(action);
            } else {
                gate_.refused(action);
                emit requestRefused(action, reason);
            }
        },
        Qt::QueuedConnection);
}

void WindowsPowerPort::askPowerOffPermission(QObject* context, PermissionAnswer answer) {
    QMetaObject::invokeMethod(
        context, [answer] { answer(PowerPermission::Yes); }, Qt::QueuedConnection);
}

}  // namespace zeravan::platform
