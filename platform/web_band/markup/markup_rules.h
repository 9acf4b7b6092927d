// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// Which elements and attributes the web band lays out, and in what form.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "html_tokenizer.h"

// Which elements and attributes of a page the web band lays out, and in what form: those of
// Qt's rich text, with values it can take without harm.
namespace zeravan::platform::markup {

// The element laid out for a tag name (a newer one as the nearest Qt knows: "section" as
// "div", "xmp" as "pre"), or empty when the tag is dropped and its content kept.
std::string_view laidOutElement(std::string_view name);
// br, hr and img, which have no content and no end tag.
bool isEmptyElement(std::string_view element);
// script, style, title and the like: dropped with all they hold, none of which is page text.
bool dropsContent(std::string_view name);
// Elements without content in HTML, laid out or not (br, img, meta, input …).
bool isVoidElement(std::string_view name);
// A start tag after which a <frameset> no longer stands for the page: browsers have begun to
// lay out its body (an input other than a hidden one, an img, a table …).
bool rulesOutFrameset(const Token& startTag);
// How the content after a start tag of this name is read.
TextModel textModelOf(std::string_view name);

// A start tag of an element in startedBy ends the innermost open element in ends, unless one in
// scope comes first: as browsers end an open paragraph, list item, table cell or row.
struct ImpliedEnd {
    std::span<const std::string_view> startedBy;
    std::span<const std::string_view> ends;
    std::span<const std::string_view> scope;
};
std::span<const ImpliedEnd> impliedEnds();

inline bool isAmong(std::span<const std::string_view> names, std::string_view name) {
    for (const std::string_view candidate : names) {
        if (candidate == name) return true;
    }
    return false;
}

// The value an attribute keeps on an element, given it decoded, or nothing when the
// band does without it. A picture's source is never kept: it is renamed apart.
std::optional<std::string> keptAttribute(std::string_view element, std::string_view name,
                                         std::string_view decoded);

}  // namespace zeravan::platform::markup
