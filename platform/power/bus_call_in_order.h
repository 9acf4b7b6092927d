// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// D-Bus calls whose answers are heard in the order they came among the bus's signals.
#pragma once

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QObject>
#include <functional>

namespace zeravan::platform {

// What to do with a call's answer: an invalid error for a reply, the error otherwise.
using BusAnswer = std::function<void(const QDBusError& error)>;

// libdbus's DBUS_TIMEOUT_INFINITE: the call waits for its answer as long as it takes.
inline constexpr int noTimeout = 0x7fffffff;

// Sends `call` and hands its answer to `answered`, in `context`'s thread, in the order it came
// among the signals this program listens to. An answer waited for through a
// QDBusPendingCallWatcher is handed over behind the signals that followed it whenever it came
// before the watcher was made, so a service's word right after its answer ("called off") would
// be heard before the answer. A call that cannot be sent (no connection) is answered NoServer,
// through the event loop, apart from a connection lost while the answer was waited for
// (Disconnected). Nothing is handed over once `context` is gone.
void callInOrder(QDBusConnection& bus, const QDBusMessage& call, int timeoutMs, QObject* context,
                 BusAnswer answered);

// Takes one answer for callInOrder; Qt delivers it to these slots by name. Declared here, not in
// the source file, so that moc's output is compiled apart from the checked code.
class BusAnswerTaker final : public QObject {
    Q_OBJECT
public:
    BusAnswerTaker(BusAnswer answered, QObject* context);

public slots:
    void replied(const QDBusMessage& reply);
    void failed(const QDBusError& error);

private:
    void hand(const QDBusError& error);

    BusAnswer answered_;
};

}  // namespace zeravan::platform
