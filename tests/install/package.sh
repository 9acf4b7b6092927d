#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# package.sh <build dir> <fake_logind> <shots>: makes the Debian package with CPack, unpacks it
# into a scratch root (never installed on this machine), checks its files and metadata, and
# starts the unpacked binary on a virtual display with the fake logind on a private bus; where
# the machine makes user namespaces, with the maker's site of lib.sh, whose page the band shows
# through the packaged page painter.
build=$1
source "$(dirname "$0")/../e2e/lib.sh" "$build/zeravan" "$2" "$3"
id=io.github.orrimel.Zeravan

cpack --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.out" ||
    fail "cpack: $(cat "$work/cpack.out")"
deb=$(find "$work/package" -maxdepth 1 -name 'zeravan_*.deb')
[ -n "$deb" ] || fail "no package in $work/package"
root=$work/root
dpkg-deb -x "$deb" "$root"

painter=usr/libexec/zeravan/zeravan-page-painter
expected=(usr/bin/zeravan $painter usr/share/applications/$id.desktop
    usr/share/metainfo/$id.metainfo.xml usr/share/doc/zeravan/copyright usr/share/doc/zeravan/changelog.gz usr/share/man/man1/zeravan.1.gz)
for size in 16 24 32 48 64 128 256; do
    expected+=(usr/share/icons/hicolor/${size}x$size/apps/$id.png)
done
for file in "${expected[@]}"; do [ -f "$root/$file" ] || fail "$file is not in the package"; done
for program in usr/bin/zeravan $painter; do
    [ -x "$root/$program" ] || fail "$program is not executable"
    file "$root/$program" | grep -q ', stripped' || fail "$program is not stripped"
done
grep -qx 'License: Expat' "$root/usr/share/doc/zeravan/copyright" ||
    fail "the copyright file names no licence"

depends=$(dpkg-deb -f "$deb" Depends)
for package in fonts-arphic-uming libqt6widgets6 libqt6dbus6; do
    grep -q "$package" <<<"$depends" || fail "Depends lacks $package: $depends"
done
[ "$(dpkg-deb -f "$deb" Maintainer)" = "The Zeravan developers <zeravan@zeravan.example>" ] ||
    fail "wrong maintainer"

# Debian's own checks: any error or warning fails, and so does any remark on hardening. What
# is left are remarks of the lowest level (I:) on the .comment section, the compiler's.
lintian --fail-on error,warning --display-info "$deb" >"$work/lintian.out" 2>&1 ||
    fail "lintian: $(cat "$work/lintian.out")"
! grep hardening "$work/lintian.out" || fail "lintian found the binary not hardened"

# The build's binary and the packaged one, stripped, and the page painter carry every
# hardening Debian's flags give. Debian 12's C start files carry no control-flow protection
# marks, so no program linked here can; that one is not asked for.
for binary in "$build/zeravan" "$root/usr/bin/zeravan" "$root/$painter"; do
    hardening-check --nocfprotection "$binary" >"$work/hardening.out" ||
        fail "not hardened: $(cat "$work/hardening.out")"
done

desktop-file-validate "$root/usr/share/applications/$id.desktop" ||
    fail "desktop-file-validate refused the desktop file"
appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml" ||
    fail "appstreamcli refused the metainfo"

start_display
start_fake_logind
zeravan=$root/usr/bin/zeravan
if have_user_namespaces; then
    make_site
    echo '<body bgcolor="#fff4c0"><p>Zeravan</p></body>' >"$site/zeravan/panel.html"
    release_page
    start_zeravan_on_site
    await grep -qs panel.html "$site/sent" || fail "the band did not ask for its page"
    band() { import -window "$main_window" png:- | convert - -format '%[pixel:p{200,240}]' info:; }
    band_shows_page() { [ "$(band)" = "srgb(255,244,192)" ]; }
    await_within 10 band_shows_page || fail "the band shows $(band)"
    shown="the band's page painted"
else
    require_private_bus
    "$zeravan" >"$work/zeravan.out" 2>&1 &
    await_main_window
    shown="no user namespaces for the band's page"
fi
echo "$(basename "$deb"): ${#expected[@]} files, metadata valid, main window mapped, $shown"
echo "Depends: $depends"
