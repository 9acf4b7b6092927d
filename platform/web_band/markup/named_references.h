// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// HTML's table of named character references.
#pragma once

#include <span>
#include <string_view>

namespace zeravan::platform::markup {

// One of HTML's named character references: its name as written after '&' (with its ';', or
// without for the few old ones browsers take either way) and the one or two characters it
// stands for (second 0 when one).
struct NamedReference {
    std::string_view name;
    char32_t first;
    char32_t second;
};

// Every named reference, sorted by name.
std::span<const NamedReference> namedReferenceTable();

}  // namespace zeravan::platform::markup
