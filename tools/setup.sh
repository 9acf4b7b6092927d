#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need; does nothing when
# they are all there already.
set -euo pipefail

packages=(
    # build
    cmake g++ make pkg-config qt6-base-dev libgl-dev
    # fonts: a Song-style face for the Chinese captions
    fonts-arphic-uming
    # tests: a private bus, a virtual display and what drives it, a shifted clock
    dbus-daemon xvfb xauth xdotool x11-utils imagemagick faketime
    # time zones with daylight saving for the clock tests; a load for the load test
    tzdata stress-ng
    # a tray host and a window manager for the tray's end-to-end test
    tint2 openbox
    # the Windows backends are compiled with this cross compiler
    g++-mingw-w64-x86-64
    # the Windows resource file (windres), the Debian package and its metadata checks
    binutils-mingw-w64-x86-64 dpkg-dev desktop-file-utils appstream
    # static checks, and clang with libFuzzer for the fuzz test
    clang-format clang-tidy clang libclang-rt-14-dev
)

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
