#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# tidy.sh <build dir> <part> <parts>: clang-tidy over one part of our non-test sources, every
# parts-th file from the part-th on, one file at a time; any warning fails.
# Only files in the build's compile commands are checked: the Windows backends are not built
# here (win32_power_calls_compile cross-compiles them).
set -euo pipefail
build=$1 part=$2 parts=$3
commands=$build/compile_commands.json
[ -f "$commands" ] || { echo "no $commands: configure with CMAKE_EXPORT_COMPILE_COMMANDS"; exit 1; }

files=()
index=0
while IFS= read -r file; do
    grep -qF "\"file\": \"$PWD/$file\"" "$commands" || continue
    if [ $((index++ % parts)) -eq "$part" ]; then files+=("$file"); fi
done < <(git ls-files '*.cpp' ':!tests/')
[ ${#files[@]} -gt 0 ] || { echo "no sources of part $part found in $commands"; exit 1; }
echo "clang-tidy over ${#files[@]} files: ${files[*]}"

# "N warnings generated." counts the ones in system headers that the filter hides.
printf '%s\0' "${files[@]}" |
    xargs -0 -n1 clang-tidy -p "$build" --quiet --warnings-as-errors='*' \
        2> >(grep -v ' warnings\? generated\.$' >&2)
