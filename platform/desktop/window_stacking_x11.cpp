// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include <xcb/xcb.h>
#include <QApplication>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/window_stacking.h"

namespace zeravan::platform {

namespace {

// Long enough for the window manager to act on the first request before the second comes.
constexpr int handBackMs = 150;

// The freedesktop source indication of a pager: window managers obey it whatever the focus
// rules for programs are.
constexpr uint32_t sourcePager = 2;

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
    const Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(strlen(name)), name),
            nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// The 32-bit values of a property of the root window.
std::vector<uint32_t> rootProperty(xcb_connection_t* connection, xcb_window_t root,
                                   const char* name, xcb_atom_t type) {
    const Reply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(
            connection,
            xcb_get_property(connection, 0, root, atom(connection, name), type, 0, 4096), nullptr),
        &std::free);
    if (!reply || reply->format != 32) return {};
    const auto* values = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
    return {values, values + xcb_get_property_value_length(reply.get()) / 4};
}

bool keepsWindowsAbove(xcb_connection_t* connection, xcb_window_t root) {
    const std::vector<uint32_t> supported =
        rootProperty(connection, root, "_NET_SUPPORTED", XCB_ATOM_ATOM);
    const xcb_atom_t above = atom(connection, "_NET_WM_STATE_ABOVE");
    return std::find(supported.begin(), supported.end(), above) != supported.end();
}

// The X server's time now: when a window of a connection of our own has a property changed.
// Qt's connection cannot be asked, since Qt reads its events.
xcb_timestamp_t serverTimeNow() {
    xcb_connection_t* own = xcb_connect(nullptr, nullptr);
    xcb_timestamp_t now = XCB_CURRENT_TIME;
    const xcb_screen_t* screen = xcb_connection_has_error(own) == 0
                                     ? xcb_setup_roots_iterator(xcb_get_setup(own)).data
                                     : nullptr;
    if (screen != nullptr) {
        const xcb_window_t probe = xcb_generate_id(own);
        const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_create_window(own, XCB_COPY_FROM_PARENT, probe, screen->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK,
                          &events);
        xcb_change_property(own, XCB_PROP_MODE_APPEND, probe, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                            0, nullptr);
        xcb_flush(own);
        while (xcb_generic_event_t* event = xcb_wait_for_event(own)) {
            const bool changed = (event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY;
            if (changed) now = reinterpret_cast<xcb_property_notify_event_t*>(event)->time;
            std::free(event);
            if (changed) break;
        }
    }
    xcb_disconnect(own);
    return now;
}

// Window managers read a window's last user time from the window it names for that, if any.
xcb_window_t userTimeWindow(xcb_connection_t* connection, xcb_window_t window) {
    const Reply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(
            connection,
            xcb_get_property(connection, 0, window, atom(connection, "_NET_WM_USER_TIME_WINDOW"),
                             XCB_ATOM_WINDOW, 0, 1),
            nullptr),
        &std::free);
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) != 4) {
        return window;
    }
    return *static_cast<const xcb_window_t*>(xcb_get_property_value(reply.get()));
}

bool isOwnWindow(xcb_window_t window) {
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(),
                       [window](const QWidget* own) { return own->internalWinId() == window; });
}

void activate(xcb_connection_t* connection, xcb_window_t root, xcb_window_t window) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = atom(connection, "_NET_ACTIVE_WINDOW");
    message.data.data32[0] = sourcePager;
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(connection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(connection);
}

// Until the user clicks the window, it takes no keyboard input: the window manager's request to
// take the focus, however late it is handled, finds it unwilling. The click makes it a window like
// any other again and gives it the keyboard itself, as a program may on a click in its own
// window: the window manager counts the window focused already and would not give it again.
class UnwillingUntilClicked final : public QObject {
public:
    UnwillingUntilClicked(QWindow& window, xcb_connection_t* connection)
        : QObject(&window), window_(window), connection_(connection) {
        window_.setFlag(Qt::WindowDoesNotAcceptFocus, true);
        window_.installEventFilter(this);
    }

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress) {
            window_.setFlag(Qt::WindowDoesNotAcceptFocus, false);
            xcb_set_input_focus(connection_, XCB_INPUT_FOCUS_POINTER_ROOT,
                                static_cast<xcb_window_t>(window_.winId()), XCB_CURRENT_TIME);
            xcb_flush(connection_);
            window_.requestActivate();
            deleteLater();
        }
        return false;
    }

private:
    QWindow& window_;
    xcb_connection_t* connection_;
};

}  // namespace

void keepAbove(QWidget& window) {
    window.setWindowFlag(Qt::WindowStaysOnTopHint);
}

// Qt asks the window manager to drop the "above" state of a mapped window; setting the widget's
// own flags would hide the window and show it again. A window manager may put it back where it
// would be without that state, below the window that was in use when it opened without the focus
// (openbox, marco): raised, it stays on top of them until another comes. marco and mutter obey a
// program's raise only for a window whose user time is not older than that of the window in use
// (KWin likewise), and marco has no pager's restack request: the moment the system takes the
// shutdown is the countdown's user time, the moment the user is to look at it.
void stopKeepingAbove(QWidget& window) {
    window.overrideWindowFlags(window.windowFlags() & ~Qt::WindowStaysOnTopHint);
    QWindow* handle = window.windowHandle();
    if (handle != nullptr) handle->setFlags(window.windowFlags());
    const auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
    const uint32_t now = connection != nullptr ? serverTimeNow() : XCB_CURRENT_TIME;
    // A user time of 0 would say the opposite: that the window is not to be brought up.
    if (handle != nullptr && now != XCB_CURRENT_TIME) {
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE,
                            userTimeWindow(connection, static_cast<xcb_window_t>(handle->winId())),
                            atom(connection, "_NET_WM_USER_TIME"), XCB_ATOM_CARDINAL, 32, 1, &now);
    }
    // After the user time, on the same connection: the window manager weighs it with that.
    window.raise();
}

// The window manager focuses the window, and raises it with that; the window takes no keyboard
// input meanwhile, so the keys go on to where they went, and the focus is handed back there.
void raiseWithoutKeepingFocus(QWidget& window) {
    const auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    QWindow* handle = window.windowHandle();
    xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
    // Not on an X display (Wayland, Windows, Qt's offscreen platform), or not being shown.
    if (connection == nullptr || handle == nullptr) return;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    if (keepsWindowsAbove(connection, root)) return;

    const std::vector<uint32_t> active =
        rootProperty(connection, root, "_NET_ACTIVE_WINDOW", XCB_ATOM_WINDOW);
    const xcb_window_t typingInto = active.empty() ? xcb_window_t{XCB_WINDOW_NONE} : active.front();
    // Unwilling before it is mapped: a window manager that focuses every new window would
    // otherwise hand it the keys typed before the request below is made.
    new UnwillingUntilClicked(*handle, connection);
    // Handing the focus back to this program's own main window would raise that again.
    const bool handBack = typingInto != XCB_WINDOW_NONE && !isOwnWindow(typingInto);
    const auto shown = static_cast<xcb_window_t>(window.internalWinId());
    QTimer::singleShot(0, handle, [handle, connection, root, shown, typingInto, handBack] {
        activate(connection, root, shown);
        if (!handBack) return;
        QTimer::singleShot(handBackMs, handle, [connection, root, typingInto] {
            activate(connection, root, typingInto);
        });
    });
}

}  // namespace zeravan::platform
