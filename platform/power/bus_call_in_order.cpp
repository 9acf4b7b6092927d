// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "bus_call_in_order.h"

namespace zeravan::platform {

void callInOrder(QDBusConnection& bus, const QDBusMessage& call, int timeoutMs, QObject* context,
                 BusAnswer answered) {
    // The slots are set before the call is sent, so Qt queues the answer when it comes.
    auto* taker = new BusAnswerTaker(std::move(answered), context);
    if (bus.callWithCallback(call, taker, SLOT(replied(QDBusMessage)), SLOT(failed(QDBusError)),
                             timeoutMs)) {
        return;
    }
    // Not sent (no connection): told the same way, never before this returns.
    const QDBusError error(QDBusError::NoServer, bus.lastError().message());
    QMetaObject::invokeMethod(
        taker, [taker, error] { taker->failed(error); }, Qt::QueuedConnection);
}

BusAnswerTaker::BusAnswerTaker(BusAnswer answered, QObject* context)
    : QObject(context), answered_(std::move(answered)) {}

void BusAnswerTaker::replied(const QDBusMessage&) {
    hand(QDBusError());
}

void BusAnswerTaker::failed(const QDBusError& error) {
    hand(error);
}

// Taken out first: what the answer sets going may delete the context, and this with it.
void BusAnswerTaker::hand(const QDBusError& error) {
    const BusAnswer answered = std::move(answered_);
    deleteLater();
    answered(error);
}

}  // namespace zeravan::platform
