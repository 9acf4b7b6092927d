// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <sstream>
#include <vector>

#include "platform/graphical_desktop.h"

namespace zeravan::platform {

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool xDisplayAnswers(const std::string& display) {
    if (display.empty()) return false;
    xcb_connection_t* connection = xcb_connect(display.c_str(), nullptr);
    const bool answers = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return answers;
}

// The compositor's socket: WAYLAND_DISPLAY names it, relative to XDG_RUNTIME_DIR unless it is
// a path; "wayland-0" when unset, as the Wayland client library assumes.
bool waylandDisplayAnswers() {
    std::string path = environment("WAYLAND_DISPLAY");
    if (path.empty()) path = "wayland-0";
    if (path.front() != '/') {
        const std::string runtimeDir = environment("XDG_RUNTIME_DIR");
        if (runtimeDir.empty()) return false;
        path = runtimeDir + "/" + path;
    }
    sockaddr_un address{};
    if (path.size() >= sizeof address.sun_path) return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size());
    const int socketFd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socketFd < 0) return false;
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): the socket API's own type pun
    const bool answers =
        connect(socketFd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(socketFd);
    return answers;
}

std::vector<std::string> platformList(const std::string& chosen) {
    std::vector<std::string> names;
    std::istringstream list(chosen);
    for (std::string name; std::getline(list, name, ';');) {
        names.push_back(name.substr(0, name.find(':')));  // "xcb:option=…" names xcb
    }
    return names;
}

// Only the two desktop platforms are checked; others (offscreen, vnc …) Qt judges itself.
bool platformReachable(const std::string& name) {
    if (name == "xcb") return xDisplayAnswers(environment("DISPLAY"));
    if (name == "wayland" || name.rfind("wayland-", 0) == 0) return waylandDisplayAnswers();
    return true;
}

}  // namespace

// The program places its windows and must see them minimised, which Wayland allows no client:
// where XWayland is there too, it goes through X.
GraphicalDesktop findGraphicalDesktop() {
    GraphicalDesktop desktop;
    const std::string display = environment("DISPLAY");
    desktop.session = display + "|" + environment("WAYLAND_DISPLAY");
    const std::string chosen = environment("QT_QPA_PLATFORM");
    if (!chosen.empty()) {
        desktop.reachable = false;
        for (const std::string& name : platformList(chosen)) {
            desktop.reachable = desktop.reachable || platformReachable(name);
        }
        return desktop;
    }
    const bool waylandSession =
        !environment("WAYLAND_DISPLAY").empty() || environment("XDG_SESSION_TYPE") == "wayland";
    if (xDisplayAnswers(display)) {
        desktop.qtPlatform = "xcb";
    } else if (waylandSession && waylandDisplayAnswers()) {
        desktop.qtPlatform = "wayland";
    } else {
        desktop.reachable = false;
    }
    return desktop;
}

}  // namespace zeravan::platform
