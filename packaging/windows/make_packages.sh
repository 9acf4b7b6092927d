#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# Gathers zeravan.exe and its page painter with every DLL they need (Qt, its plugins, the MinGW
# run-time), strips them, and makes the zip and the installer of the Windows release.
#   make_packages.sh <zeravan.exe> <zeravan-page-painter.exe> <Qt prefix> <version>
#                    <output folder> <MinGW g++>
set -euo pipefail

exe=$1 painter=$2 qt=$3 version=$4 out=$5 cxx=$6
here=$(cd "$(dirname "$0")" && pwd)
triplet=$(basename "$cxx" | sed 's/-g++.*//')
objdump=$triplet-objdump
strip=$triplet-strip
name=zeravan-$version-win64
stage=$out/$name

# The plugins Qt loads at run time: the window system, the native style, the image formats of
# our artwork and of the web band's pictures (the painter's: JPEG, GIF, ICO; PNG and BMP are
# Qt's own), and TLS through Windows' own Schannel for the web panel.
plugins=(platforms/qwindows.dll styles/qwindowsvistastyle.dll imageformats/qico.dll
    imageformats/qjpeg.dll imageformats/qgif.dll tls/qschannelbackend.dll)

# Qt's own texts in Simplified Chinese, as on Linux (Debian's qt6-translations-l10n); qt.conf
# makes the program's folder Qt's prefix, so that Qt finds them in translations/ beside it.
qt_texts=${QT_TRANSLATIONS:-/usr/share/qt6/translations}/qtbase_zh_CN.qm

# Where the DLLs come from; anything not found here is part of Windows itself.
search=("$qt/bin"
    "$(dirname "$("$cxx" -print-file-name=libstdc++-6.dll)")"
    "$(dirname "$("$cxx" -print-file-name=libwinpthread-1.dll)")")

rm -rf "$stage"
mkdir -p "$stage"
cp "$exe" "$stage/zeravan.exe"
cp "$painter" "$stage/zeravan-page-painter.exe"
queue=("$stage/zeravan.exe" "$stage/zeravan-page-painter.exe")
for plugin in "${plugins[@]}"; do
    [ -f "$qt/plugins/$plugin" ] || { echo "missing Qt plugin $plugin in $qt" >&2; exit 1; }
    mkdir -p "$stage/$(dirname "$plugin")"
    cp "$qt/plugins/$plugin" "$stage/$plugin"
    queue+=("$stage/$plugin")
done

[ -f "$qt_texts" ] || { echo "missing $qt_texts (Debian: qt6-translations-l10n)" >&2; exit 1; }
mkdir -p "$stage/translations"
cp "$qt_texts" "$stage/translations/"
printf '[Paths]\nPrefix=.\n' >"$stage/qt.conf"

find_dll() {
    local dir
    for dir in "${search[@]}"; do
        find "$dir" -maxdepth 1 -iname "$1" -print -quit
    done | head -n1
}

# Follow the imports until every DLL found is beside the program.
while ((${#queue[@]})); do
    file=${queue[0]}
    queue=("${queue[@]:1}")
    while read -r dll; do
        [ -n "$(find "$stage" -maxdepth 1 -iname "$dll" -print -quit)" ] && continue
        source=$(find_dll "$dll")
        [ -n "$source" ] || continue
        cp "$source" "$stage/"
        queue+=("$stage/$(basename "$source")")
    done < <("$objdump" -p "$file" | sed -n 's/^[[:space:]]*DLL Name: //p')
done

find "$stage" -name '*.dll' -exec "$strip" --strip-unneeded {} +
"$strip" "$stage/zeravan.exe" "$stage/zeravan-page-painter.exe"

rm -f "$out/$name.zip"
(cd "$out" && cmake -E tar cf "$name.zip" --format=zip "$name")
echo "made $out/$name.zip: $(cd "$stage" && find . -type f | sort | tr '\n' ' ')"

# The release's files and folders by name (folders deepest first), for the installer to set aside
# what an earlier install left and for the uninstaller to remove just what was installed.
# Anything else in the install folder stays.
release_files=$out/release_files.nsh
{
    echo '!macro FOR_EACH_RELEASE_FILE DO'
    (cd "$stage" && find . -type f | sort) | while read -r file; do
        printf '    !insertmacro ${DO} "%s"\n' "${file#./}"
    done
    echo '!macroend'
    echo '!macro FOR_EACH_RELEASE_FOLDER DO'
    (cd "$stage" && find . -mindepth 1 -type d | sort -r) | while read -r folder; do
        printf '    !insertmacro ${DO} "%s"\n' "${folder#./}"
    done
    echo '!macroend'
} | sed 's|/|\\|g' >"$release_files"
# What "Programs and Features" shows as the program's size.
installed_kb=$(find "$stage" -type f -printf '%s\n' | awk '{ bytes += $1 } END { print int((bytes + 1023) / 1024) }')
# The room the install takes on a disk: each file in whole clusters of 4 KiB, and 1 MiB for the
# uninstaller the installer writes.
needed_bytes=$(find "$stage" -type f -printf '%s\n' |
    awk '{ bytes += int(($1 + 4095) / 4096) * 4096 } END { printf "%d", bytes + 1048576 }')

makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DRELEASE_FILES="$release_files" \
    -DINSTALLED_SIZE_KB="$installed_kb" -DNEEDED_BYTES="$needed_bytes" -DICON="$here/../../assets/zeravan.ico" \
    -DOUTFILE="$out/zeravan-$version-setup.exe" "$here/zeravan.nsi"
echo "made $out/zeravan-$version-setup.exe"
