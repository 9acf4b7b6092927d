// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The sanitizer: what of a page reaches the web band's layout.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zeravan::platform {

// A picture the page asks for, as the page wrote it.
struct PageImage {
    std::string source;
    int width = -1;  // the size the page gives it, in pixels; -1 when it gives none
    int height = -1;
};

// What of a page reaches the web band's layout.
struct SanitizedPage {
    // False for a page nested too deep, with too many elements or too much text: lay out nothing.
    // What is not shown (hidden, display: none, a template's content) is not laid out at all.
    bool accepted = false;
    // Well-formed markup of the elements and attributes Qt's rich text lays out, every element
    // closed, every '<' of text escaped; no comments, scripts, style sheets or links to them,
    // and no picture by any name but pageImageName(i).
    std::string html;
    std::vector<PageImage> images;  // images[i] is what pageImageName(i) stands for
};

inline constexpr std::size_t maxPageDepth = 32;
// Tables within tables: each level costs Qt's layout about twice the time of the one above.
inline constexpr std::size_t maxTableNesting = 4;
inline constexpr std::size_t maxPageElements = 1000;
// Bytes of text, a run of blanks counting as one except where it is laid out as written (pre,
// white-space: pre …), there each line break and tab: a few screens of the band.
inline constexpr std::size_t maxPageText = 32768;
inline constexpr std::size_t maxPageImages = 8;

std::string pageImageName(std::size_t index);
SanitizedPage sanitizePage(std::string_view html);

}  // namespace zeravan::platform
