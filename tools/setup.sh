#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# tools/setup.sh build|run|windows|test: installs the Debian packages that building the program and
# its tests needs (build), building and running it (run), cross-compiling it for Windows
# (windows), or all of these and everything the tests use (test). Does nothing when they are all
# there.
set -euo pipefail

purpose=${1:-run}

build_packages=(
    # build, with Debian's hardening flags (dpkg-buildflags)
    cmake g++ make pkg-config qt6-base-dev libgl-dev dpkg-dev
    # the program asks the X display whether it answers before Qt connects to it
    libxcb1-dev
    # the web band's page painter keeps to painting behind a seccomp filter, reading only the
    # fonts fontconfig names
    libseccomp-dev libfontconfig-dev
)

run_packages=(
    "${build_packages[@]}"
    # a Song-style face for the Chinese captions, Qt's own texts in Chinese, and Wayland
    fonts-arphic-uming qt6-translations-l10n qt6-wayland
    # tools/run.sh asks the display whether it is there
    x11-utils
)

# Without a display, tools/run.sh shows the window on a virtual one and takes a screenshot.
virtual_display_packages=(xvfb xauth xdotool imagemagick)

# The Windows backends are compiled with this cross compiler against a Qt for Windows built
# from Debian's source (tools/build_windows_qt.sh), and packed into a zip and an installer.
windows_packages=(
    "${build_packages[@]}"
    g++-mingw-w64-x86-64 g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 ninja-build nsis zip
)

test_packages=(
    "${run_packages[@]}" "${virtual_display_packages[@]}" "${windows_packages[@]}"
    # a private bus (with a session bus launcher), a shifted clock; the fake services on it are
    # Python over GLib's D-Bus
    dbus-daemon dbus-x11 faketime python3-gi
    # time zones with daylight saving for the clock tests; a load for the load test
    tzdata stress-ng
    # tray hosts, panels, window managers (marco: MATE's, which keeps a window opened without the
    # focus below the one in use; it reads the mouse settings of mate-settings-daemon-common) and a
    # Wayland compositor for the desktop tests
    tint2 openbox i3-wm marco mate-settings-daemon-common xfce4-panel lxqt-panel weston xwayland xterm xdg-utils
    # gdbus drives the StatusNotifierItem and its menu over the bus
    libglib2.0-bin
    # the Windows release runs under Wine
    wine64 wine
    # the Debian package and its metadata checks, the hardening of its binary
    desktop-file-utils appstream lintian file devscripts
    # screen readers' view of the windows
    at-spi2-core python3-pyatspi
    # an X session manager, with the ICE authority tool it needs
    x11-session-utils x11-xserver-utils
    # where a program that hangs in an end-to-end test is stuck; which files the web band opens
    gdb strace
    # Qt's SVG picture plugin, as desktops have it, which the web band must never use
    libqt6svg6
    # the maker's site of the end-to-end tests: its own network's loopback, its certificate
    iproute2 openssl
    # static checks, and clang with libFuzzer for the fuzz test
    clang-format clang-tidy clang libclang-rt-14-dev
    # HTML's parsing as browsers do it, the oracle of the band's differential test
    python3-html5lib
)

case $purpose in
build) packages=("${build_packages[@]}") ;;
windows) packages=("${windows_packages[@]}") ;;
run)
    packages=("${run_packages[@]}")
    [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] || packages+=("${virtual_display_packages[@]}")
    ;;
test) packages=("${test_packages[@]}") ;;
*)
    echo "usage: $0 build|run|windows|test" >&2
    exit 2
    ;;
esac

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
    [ "$status" = installed ] || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}"
