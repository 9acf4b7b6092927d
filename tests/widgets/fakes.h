// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QPair>
#include <QPointer>
#include <QUrl>
#include <optional>

#include "engine/calendar.h"
#include "engine/clock.h"
#include "fake_link_opener.h"
#include "platform/page_view.h"
#include "platform/power_port.h"
#include "platform/system_clock.h"
#include "platform/tray_port.h"

namespace zeravan::test {

// A clock that moves only when told to, in milliseconds. Set to a wall-clock moment it is a bare
// wall clock; set to an instant it reads that instant through the time zone (TZ) as the
// program's own clock does, so daylight saving changes come as they would.
class FakeClock final : public engine::Clock {
public:
    explicit FakeClock(engine::LocalDateTime start = {{2026, 12, 7}, {12, 0, 0}}) { set(start); }
    engine::LocalDateTime now() const override {
        const long long seconds = milliseconds_ / 1000;
        return zoned_ ? platform::localTimeAt(static_cast<std::time_t>(seconds))
                      : engine::fromWallSeconds(seconds);
    }
    void set(const engine::LocalDateTime& moment) {
        zoned_ = false;
        milliseconds_ = engine::wallSeconds(moment) * 1000;
    }
    void setInstant(std::time_t instant) {
        zoned_ = true;
        milliseconds_ = static_cast<long long>(instant) * 1000;
    }
    void advance(long long milliseconds) { milliseconds_ += milliseconds; }
    long long milliseconds() const { return milliseconds_; }

private:
    long long milliseconds_ = 0;
    bool zoned_ = false;
};

// Steady time that moves only when told to.
class FakeSteadyClock final : public engine::SteadyClock {
public:
    long long milliseconds() const override { return milliseconds_; }
    void advance(long long milliseconds) { milliseconds_ += milliseconds; }

private:
    long long milliseconds_ = 0;
};

// Records every call in order; answers the probe as told, through the event loop, or holds the
// answer back until the test gives it; reports outcomes when told to.
class FakePowerPort final : public platform::PowerPort {
    Q_OBJECT
public:
    QStringList calls;
    // Empty: each question waits for answerHeld().
    std::optional<platform::PowerPermission> permission = platform::PowerPermission::Yes;

    void enableShutdownPrivilege() override { calls << QStringLiteral("privilege"); }
    void request(platform::PowerAction action) override {
        static const char* names[] = {"PowerOff", "Reboot", "LogOff"};
        calls << QString::fromLatin1(names[static_cast<int>(action)]);
    }
    void askPowerOffPermission(QObject* context, PermissionAnswer answer) override {
        calls << QStringLiteral("probe");
        if (!permission) {
            held_.append({context, std::move(answer)});
            return;
        }
        QMetaObject::invokeMethod(
            context, [answer, given = *permission] { answer(given); }, Qt::QueuedConnection);
    }
    // Answers the question asked `index`-th among those still held.
    void answerHeld(qsizetype index, platform::PowerPermission given) {
        if (held_.at(index).first) held_.at(index).second(given);
    }
    qsizetype count(const QString& call) const { return calls.count(call); }
    // How a request may end without ending the session, as the system reports it.
    enum class Failure { Refused, Unreachable, Lost, Cancelled, Overdue };
    void fail(Failure failure, platform::PowerAction action, const QString& reason) {
        switch (failure) {
            case Failure::Refused:
                emit requestRefused(action, reason);
                break;
            case Failure::Unreachable:
                emit requestUnreachable(action, reason);
                break;
            case Failure::Lost:
                emit requestLost(action, reason);
                break;
            case Failure::Cancelled:
                emit requestCancelled(action, reason);
                break;
            case Failure::Overdue:
                emit requestOverdue(action, reason);
                break;
        }
    }
    void take(platform::PowerAction action) { emit requestTaken(action); }
    void refuse(platform::PowerAction action, const QString& reason) {
        fail(Failure::Refused, action, reason);
    }

private:
    QList<QPair<QPointer<QObject>, PermissionAnswer>> held_;
};

// Records each request with a copy of the record it carried.
class FakeTrayPort final : public platform::TrayPort {
    Q_OBJECT
public:
    bool available = true;
    QList<QPair<int, platform::NotifyIconData>> requests;
    QMenu* menu = nullptr;

    bool isAvailable() const override { return available; }
    void notifyIcon(int message, const platform::NotifyIconData& record) override {
        requests.append({message, record});
    }
    void setMenu(QMenu* popup) override { menu = popup; }
    void mouse(int code) { emit mouseMessage(code); }
    qsizetype count(int message) const {
        qsizetype n = 0;
        for (const auto& request : requests) n += request.first == message ? 1 : 0;
        return n;
    }
};

class FakePageView final : public platform::PageView {
    Q_OBJECT
public:
    using PageView::PageView;
    QList<QUrl> navigations;
    void Navigate(const QUrl& address) override { navigations << address; }
};

}  // namespace zeravan::test
