#include "platform/tray_qt.h"

namespace zeravan::platform {

namespace {

constexpr int WM_MBUTTONUP = 0x208;

}  // namespace

QtTrayPort::QtTrayPort(QIcon icon, QObject* parent)
    : TrayPort(parent), icon_(std::move(icon)), tray_(this) {
    connect(&tray_, &QSystemTrayIcon::activated, this, &QtTrayPort::reportActivation);
}

bool QtTrayPort::isAvailable() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtTrayPort::notifyIcon(int message, const NotifyIconData& record) {
    if (message == NIM_ADD) {
        const bool known = record.hIcon == static_cast<std::uint64_t>(icon_.cacheKey());
        tray_.setIcon(known ? icon_ : QIcon());
        tray_.setToolTip(record.shownTip());
        tray_.show();
    } else if (message == NIM_DELETE) {
        tray_.hide();
    }
}

// Qt reports clicks, not button transitions: each becomes the message that completes it.
void QtTrayPort::reportActivation(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
        case QSystemTrayIcon::DoubleClick:
            emit mouseMessage(WM_LBUTTONDBLCLK);
            break;
        case QSystemTrayIcon::Context:
            emit mouseMessage(WM_RBUTTONUP);
            break;
        case QSystemTrayIcon::Trigger:
            emit mouseMessage(WM_LBUTTONUP);
            break;
        case QSystemTrayIcon::MiddleClick:
            emit mouseMessage(WM_MBUTTONUP);
            break;
        case QSystemTrayIcon::Unknown:
            break;
    }
}

}  // namespace zeravan::platform
