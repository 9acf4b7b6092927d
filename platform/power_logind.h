#pragma once

#include <QDBusConnection>
#include <QDBusError>
#include <set>

#include "platform/power_port.h"

namespace zeravan::platform {

// systemd-logind on the given bus. Calls are interactive, so polkit may ask for a password;
// while one kind of request waits for its reply, pressing again sends nothing.
class LogindPowerPort final : public PowerPort {
    Q_OBJECT
public:
    explicit LogindPowerPort(QDBusConnection bus, QObject* parent = nullptr);

    void enableShutdownPrivilege() override;
    void request(PowerAction action) override;
    PowerPermission powerOffPermission() override;

private:
    void finish(PowerAction action, const QDBusError& error);

    QDBusConnection bus_;
    std::set<PowerAction> pending_;
};

}  // namespace zeravan::platform
