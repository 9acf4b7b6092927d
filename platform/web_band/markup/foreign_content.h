// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// SVG and MathML inside a page, read as browsers read them.
#pragma once

#include <string_view>

#include "html_tokenizer.h"

// SVG and MathML inside a page, read as browsers read them: what opens and ends their elements,
// and where HTML stands inside them again.
namespace zeravan::platform::markup {

enum class Namespace { Html, Svg, MathMl };

// What of HTML an SVG or MathML element lets in.
enum class HtmlInside {
    Nothing,
    StartTags,           // foreignObject, desc, title; an annotation-xml of HTML
    StartTagsButGlyphs,  // MathML's text (mi, mo, mn, ms, mtext): all but mglyph and malignmark
};

// The namespace of the element a start tag opens by HTML's rules: "svg" and "math" open foreign
// content, every other name is HTML's.
Namespace namespaceOpenedBy(std::string_view name);
HtmlInside htmlInside(Namespace space, const Token& startTag);
// Whether a start tag inside this foreign element is read by HTML's rules.
bool readByHtmlRules(Namespace space, std::string_view name, HtmlInside inside, const Token& tag);
// An HTML start tag ("p", "b", "table" …) that ends the foreign elements open around it up to
// where HTML stands again.
bool breaksOutOfForeignContent(const Token& startTag);
// HTML's end tags and implied ends reach no element outside this one.
bool fencesHtml(Namespace space, std::string_view name);

}  // namespace zeravan::platform::markup
