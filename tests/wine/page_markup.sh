#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# The band's reading of pages in the Windows build, under Wine: page_markup_text, cross-compiled
# against the same Qt for Windows and decoding by Windows' own code pages (936 for GBK …), goes
# through the differential test's corpus and seeds beside html5lib, as on Linux.
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
# The Qt the release was built with; asked before lib.sh gives the test a home of its own.
if ! "$repo/tools/build_windows_qt.sh" --check 2>/dev/null; then
    echo "SKIPPED: no Qt for Windows; make it with 'make windows'." >&2
    exit 77
fi
qt=$("$repo/tools/build_windows_qt.sh" 2>/dev/null)
source "$here/lib.sh"
new_prefix
unpack_release
folder=$(dirname "$zeravan_exe")
x86_64-w64-mingw32-g++-posix -std=c++20 -O1 \
    -I"$qt/include" -I"$qt/include/QtCore" -I"$qt/include/QtGui" \
    -I"$repo/platform/web_band/painter/include" -I"$repo/platform/web_band/markup/include" \
    "$repo/tests/page_markup/page_markup_text.cpp" "$repo/platform/web_band/painter/page_decoding.cpp" \
    "$repo/platform/web_band/painter/legacy_decoding_windows.cpp" "$repo"/platform/web_band/markup/*.cpp \
    -L"$qt/lib" -lQt6Gui -lQt6Core -o "$folder/page_markup_text.exe" >"$work/compile.log" 2>&1 ||
    fail "cross-compiling page_markup_text failed: $(tail -n 20 "$work/compile.log")"
# Its text document wants fonts, not a display: Qt's offscreen platform, beside the release's.
cp "$qt/plugins/platforms/qoffscreen.dll" "$folder/platforms/"
cat >"$work/page_markup_text" <<WRAPPER
#!/bin/sh
QT_QPA_PLATFORM=offscreen exec wine "$folder/page_markup_text.exe" "\$@" 2>>"$work/wine.log"
WRAPPER
chmod +x "$work/page_markup_text"
/usr/bin/python3 "$repo/tests/page_markup/differential.py" "$work/page_markup_text" \
    "$repo/tests/page_markup/corpus.tsv" "$repo/tests/fuzz/seeds/page_markup" "$work/cases" ||
    fail "the Windows build reads pages otherwise; Wine said: $(tail -n 20 "$work/wine.log")"
