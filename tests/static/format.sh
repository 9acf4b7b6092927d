#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# Fails on any difference between our C++ (tracked, or new and not ignored) and what
# clang-format makes of it.
set -euo pipefail
git ls-files -z --cached --others --exclude-standard '*.cpp' '*.h' |
    xargs -0 clang-format --dry-run -Werror
