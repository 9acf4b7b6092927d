// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// HTML's character references read as browsers read them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Character references ("&amp;", "&copy", "&#65", "&#x4e2d;") read as browsers read them.
namespace zeravan::platform::markup {

void appendUtf8(std::string& out, char32_t code);

// Reads the character reference that text starts with (at its '&'), appends the characters it
// stands for and returns its length; returns 0, appending nothing, when the '&' is plain text.
// In an attribute's value an old name without ';' followed by a letter, a digit or '=' stays as
// written ("?a=1&copy=2").
std::size_t appendReference(std::string& out, std::string_view text, bool inAttribute);

}  // namespace zeravan::platform::markup
