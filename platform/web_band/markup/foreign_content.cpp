// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "foreign_content.h"

#include <algorithm>
#include <span>

#include "ascii_text.h"
#include "markup_rules.h"

namespace zeravan::platform::markup {

namespace {

constexpr std::string_view breakouts[] = {
    "b",      "big",  "blockquote", "body",  "br",   "center", "code",    "dd",   "div",
    "dl",     "dt",   "em",         "embed", "h1",   "h2",     "h3",      "h4",   "h5",
    "h6",     "head", "hr",         "i",     "img",  "li",     "listing", "menu", "meta",
    "nobr",   "ol",   "p",          "pre",   "ruby", "s",      "small",   "span", "strong",
    "strike", "sub",  "sup",        "table", "tt",   "u",      "ul",      "var",
};
constexpr std::string_view fontLooks[] = {"color", "face", "size"};
constexpr std::string_view svgHoldingHtml[] = {"desc", "foreignobject", "title"};
constexpr std::string_view mathText[] = {"mi", "mn", "mo", "ms", "mtext"};
constexpr std::string_view htmlEncodings[] = {"application/xhtml+xml", "text/html"};

bool hasAttribute(const Token& tag, std::span<const std::string_view> names) {
    return std::any_of(tag.attributes.begin(), tag.attributes.end(),
                       [&](const Attribute& a) { return isAmong(names, a.name); });
}

}  // namespace

Namespace namespaceOpenedBy(std::string_view name) {
    if (name == "svg") return Namespace::Svg;
    if (name == "math") return Namespace::MathMl;
    return Namespace::Html;
}

HtmlInside htmlInside(Namespace space, const Token& startTag) {
    const std::string_view name = startTag.name;
    if (space == Namespace::Svg && isAmong(svgHoldingHtml, name)) return HtmlInside::StartTags;
    if (space != Namespace::MathMl) return HtmlInside::Nothing;
    if (isAmong(mathText, name)) return HtmlInside::StartTagsButGlyphs;
    const bool htmlAnnotation =
        name == "annotation-xml" &&
        std::any_of(startTag.attributes.begin(), startTag.attributes.end(), [](const auto& a) {
            return a.name == "encoding" && isAmong(htmlEncodings, ascii::lowered(a.value));
        });
    return htmlAnnotation ? HtmlInside::StartTags : HtmlInside::Nothing;
}

bool readByHtmlRules(Namespace space, std::string_view name, HtmlInside inside, const Token& tag) {
    switch (inside) {
        case HtmlInside::StartTags:
            return true;
        case HtmlInside::StartTagsButGlyphs:
            return tag.name != "mglyph" && tag.name != "malignmark";
        case HtmlInside::Nothing:
            break;
    }
    return space == Namespace::Html ||
           (space == Namespace::MathMl && name == "annotation-xml" && tag.name == "svg");
}

bool breaksOutOfForeignContent(const Token& startTag) {
    return isAmong(breakouts, startTag.name) ||
           (startTag.name == "font" && hasAttribute(startTag, fontLooks));
}

bool fencesHtml(Namespace space, std::string_view name) {
    return (space == Namespace::Svg && isAmong(svgHoldingHtml, name)) ||
           (space == Namespace::MathMl && (isAmong(mathText, name) || name == "annotation-xml"));
}

}  // namespace zeravan::platform::markup
