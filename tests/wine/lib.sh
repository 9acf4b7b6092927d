# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# Shared by the Windows tests: the Windows release run under Wine on a virtual display, in a
# fresh throwaway Wine prefix inside the build tree. Source it with
#   <windows build folder> <version> <shots folder> <folder for the prefix>
# It brings in the end-to-end helpers (display, windows, clicks, the shifted clock).
windows_build=$1
version=$2
wine_root=$4
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/lib.sh" "$windows_build" "" "$3"

setup_exe=$windows_build/zeravan-$version-setup.exe
release_zip=$windows_build/zeravan-$version-win64.zip
if [ ! -f "$setup_exe" ] || [ ! -f "$release_zip" ]; then
    echo "SKIPPED: no Windows release in $windows_build; make it with 'make windows'." >&2
    exit 77
fi

# Nothing Windows runs outside this prefix; it lives and dies with the test.
export WINEPREFIX=$wine_root/prefix
export WINEARCH=win64
# No downloads of Mono or Gecko, and quiet unless a test asks for a debug channel.
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=-all

require_throwaway_prefix() {
    [[ $WINEPREFIX == "$wine_root"/* && -d $WINEPREFIX ]] || fail "no throwaway Wine prefix"
}

run_wine() {
    require_throwaway_prefix
    wine "$@"
}

stop_wine() {
    [[ $WINEPREFIX == "$wine_root"/* ]] || return 0
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
}

# Waits until every Windows program of the prefix has ended on its own.
wait_wine() {
    require_throwaway_prefix
    wineserver -w
}

wine_cleanup() {
    stop_wine
    cleanup
    rm -rf "$WINEPREFIX"
}
trap 'say_why_stopped; wine_cleanup' EXIT

# A fresh prefix, set up and with its wineserver ended again, so that the next Windows program
# starts its own one (under faketime, when the test shifts the clock).
new_prefix() {
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    require_throwaway_prefix
    wineboot --init >"$work/wineboot.log" 2>&1 || fail "wineboot failed: $(tail "$work/wineboot.log")"
    # Windows has 宋体; here the Song-style face of Debian's fonts-arphic-uming stands in.
    fc-list : family | grep -i 'AR PL UMing' >/dev/null || fail "fonts-arphic-uming is not installed"
    local face
    for face in SimSun 宋体 NSimSun; do
        run_wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d 'AR PL UMing CN' /f \
            >>"$work/wineboot.log" 2>&1 || fail "could not map $face: $(tail -n5 "$work/wineboot.log")"
    done
    stop_wine
}

# The release zip unpacked as a user would, to C:\zeravan; sets zeravan_exe.
unpack_release() {
    mkdir -p "$WINEPREFIX/drive_c/zeravan"
    (cd "$WINEPREFIX/drive_c/zeravan" && cmake -E tar xf "$release_zip")
    zeravan_exe=$WINEPREFIX/drive_c/zeravan/zeravan-$version-win64/zeravan.exe
    [ -f "$zeravan_exe" ] || fail "no zeravan.exe in $release_zip"
}

# Wine's debug output, each line stamped with the moment it arrived (ms since 1970).
stamp_lines() {
    perl -MTime::HiRes=time -ne '$| = 1; printf "%d\t%s", time * 1000, $_'
}
