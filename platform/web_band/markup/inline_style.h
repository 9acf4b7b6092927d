// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// What the web band keeps of a style attribute.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zeravan::platform {

// What the web band keeps of a style attribute: declarations of colours, fonts, alignment and
// spacing whose values are plain words, quoted font names and small numbers. Nothing survives
// that could name a resource (no url(), no @import, no escapes) or size anything absurdly.
// The result reads "property: value; property: value", empty when nothing is left.
std::string filteredStyle(std::string_view style);

// Whether the style says display: none, as the last display declaration in it.
bool hidesElement(std::string_view style);
// Whether the style lays out line breaks, tabs and blanks as written (white-space: pre,
// pre-wrap, pre-line), not (normal, nowrap), or says nothing of it.
std::optional<bool> keepsBlanks(std::string_view style);

}  // namespace zeravan::platform
