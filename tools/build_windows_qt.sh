#!/bin/sh
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# Builds Qt's base modules (Core, Gui, Widgets, Network) for 64-bit Windows with MinGW, from
# Debian's own qt6-base source package, so the Windows build uses the same Qt version and
# patches as the Linux one. The result is cached outside the tree and rebuilt only when this
# script or the source version changes. Takes about 45 to 60 minutes on two cores shared with
# other builds.
#
#   tools/build_windows_qt.sh            build if missing or stale, print the install prefix
#   tools/build_windows_qt.sh --check    only say (exit status 0 or 1) whether it is up to date
#   ZERAVAN_WINDOWS_QT=/path ...         use another install prefix
set -eu

QT_VERSION=6.4.2
SOURCE_PACKAGE=qt6-base
CACHE_ROOT="${XDG_CACHE_HOME:-$HOME/.cache}/zeravan"
PREFIX="${ZERAVAN_WINDOWS_QT:-$CACHE_ROOT/qt-$QT_VERSION-mingw}"
WORK="$CACHE_ROOT/qt-$QT_VERSION-mingw-work"
HERE=$(cd "$(dirname "$0")" && pwd)
TOOLCHAIN="$HERE/../cmake/mingw-w64-x86_64.cmake"
JOBS="${JOBS:-$(nproc 2>/dev/null || echo 2)}"

say() { printf '[windows-qt %s] %s\n' "$(date -u +%H:%M:%S)" "$*" >&2; }

# A private apt configuration: its own deb-src list and state, nothing added to /etc/apt.
APT_DIR="$WORK/apt"
apt_private() {
    apt-get -o Dir::Etc::SourceList="$APT_DIR/sources.list" \
        -o Dir::Etc::SourceParts=/dev/null \
        -o Dir::State="$APT_DIR/state" \
        -o Dir::State::Lists="$APT_DIR/lists" \
        -o Dir::Cache="$APT_DIR/cache" \
        -o Debug::NoLocking=1 "$@"
}

source_version() {
    dpkg-query -W -f '${source:Version}' qt6-base-dev 2>/dev/null || echo unknown
}

stamp_text() {
    # Comments do not count: only what the build does makes the cache stale.
    printf '%s\n%s\n%s\n' "$(grep -hv '^[[:space:]]*#' "$0" "$TOOLCHAIN" | sha256sum | cut -d' ' -f1)" \
        "$(source_version)" "$QT_VERSION"
}

if [ -f "$PREFIX/zeravan.stamp" ] && [ "$(cat "$PREFIX/zeravan.stamp")" = "$(stamp_text)" ]; then
    [ "${1:-}" = --check ] && exit 0
    say "up to date: $PREFIX"
    echo "$PREFIX"
    exit 0
fi

[ "${1:-}" = --check ] && exit 1

VERSION=$(source_version)
say "building Qt $QT_VERSION (Debian source $SOURCE_PACKAGE $VERSION) into $PREFIX"
rm -rf "$WORK" "$PREFIX"
mkdir -p "$APT_DIR/lists/partial" "$APT_DIR/state" "$APT_DIR/cache/archives/partial" "$WORK/src"

# The same mirror and suite the system installs from, as a deb-src entry.
SUITE=$(. /etc/os-release && echo "$VERSION_CODENAME")
echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian $SUITE main" >"$APT_DIR/sources.list"
say "fetching the source index"
apt_private update >"$WORK/apt-update.log" 2>&1 || { cat "$WORK/apt-update.log" >&2; exit 1; }
say "fetching $SOURCE_PACKAGE=$VERSION"
(cd "$WORK/src" && apt_private source --only-source "$SOURCE_PACKAGE=$VERSION") \
    >"$WORK/apt-source.log" 2>&1 || { cat "$WORK/apt-source.log" >&2; exit 1; }
SRC=$(find "$WORK/src" -mindepth 1 -maxdepth 1 -type d | head -n 1)
[ -f "$SRC/CMakeLists.txt" ] || { say "no unpacked source in $WORK/src"; exit 1; }

say "configuring"
cmake -G Ninja -S "$SRC" -B "$WORK/build" \
    -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$PREFIX" \
    -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DBUILD_SHARED_LIBS=ON \
    -DFEATURE_gui=ON -DFEATURE_widgets=ON -DFEATURE_network=ON \
    -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_sql=OFF -DFEATURE_printsupport=OFF \
    -DFEATURE_testlib=OFF -DFEATURE_dbus=OFF \
    -DFEATURE_opengl=OFF -DFEATURE_dynamicgl=OFF -DFEATURE_vulkan=OFF \
    -DFEATURE_openssl=OFF -DFEATURE_schannel=ON \
    -DFEATURE_tabletevent=OFF -DFEATURE_icu=OFF \
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF \
    -DFEATURE_system_freetype=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF \
    -DFEATURE_sql_sqlite=OFF -DFEATURE_system_sqlite=OFF \
    >"$WORK/configure.log" 2>&1 || { tail -n 60 "$WORK/configure.log" >&2; exit 1; }

say "compiling with $JOBS jobs (progress every 200 steps)"
cmake --build "$WORK/build" --parallel "$JOBS" 2>&1 | tee "$WORK/build.log" |
    awk '/^\[[0-9]+\/[0-9]+\]/ { n++; if (n % 200 == 0) { print; fflush() } } /error:|FAILED:/ { print; fflush() }' >&2
grep -q 'FAILED:' "$WORK/build.log" && { say "build failed, see $WORK/build.log"; exit 1; }
[ -f "$WORK/build/bin/Qt6Widgets.dll" ] || { say "no Qt6Widgets.dll, see $WORK/build.log"; exit 1; }

say "installing"
cmake --install "$WORK/build" >"$WORK/install.log" 2>&1
stamp_text >"$PREFIX/zeravan.stamp"
rm -rf "$WORK"
say "done: $PREFIX"
echo "$PREFIX"
