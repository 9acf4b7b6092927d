#!/usr/bin/env bash
# Fails on any difference between our C++ (tracked, or new and not ignored) and what
# clang-format makes of it.
set -euo pipefail
git ls-files -z --cached --others --exclude-standard '*.cpp' '*.h' |
    xargs -0 clang-format --dry-run -Werror
