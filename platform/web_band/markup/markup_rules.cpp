// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "markup_rules.h"

#include <algorithm>
#include <array>
#include <utility>

#include "ascii_text.h"
#include "inline_style.h"

namespace zeravan::platform::markup {

namespace {

using namespace ascii;

// Elements laid out with their content, as Qt's rich text knows them.
constexpr std::string_view containers[] = {
    "a",    "address", "b",     "big",   "blockquote", "body",  "caption", "center", "cite",
    "code", "dd",      "dfn",   "div",   "dl",         "dt",    "em",      "font",   "h1",
    "h2",   "h3",      "h4",    "h5",    "h6",         "html",  "i",       "kbd",    "li",
    "nobr", "ol",      "p",     "pre",   "s",          "samp",  "small",   "span",   "strong",
    "sub",  "sup",     "table", "tbody", "td",         "tfoot", "th",      "thead",  "tr",
    "tt",   "u",       "ul",    "var",
};
// Elements without content.
constexpr std::string_view emptyElements[] = {"br", "hr", "img"};
// Newer elements written as the nearest one Qt knows; those whose text is laid out as written
// as pre.
constexpr std::array<std::pair<std::string_view, std::string_view>, 25> renamed = {{
    {"abbr", "span"},   {"article", "div"},   {"aside", "div"},      {"del", "s"},
    {"details", "div"}, {"fieldset", "div"},  {"figcaption", "div"}, {"figure", "div"},
    {"footer", "div"},  {"form", "div"},      {"header", "div"},     {"ins", "u"},
    {"label", "span"},  {"listing", "pre"},   {"main", "div"},       {"mark", "span"},
    {"nav", "div"},     {"plaintext", "pre"}, {"q", "span"},         {"section", "div"},
    {"strike", "s"},    {"summary", "div"},   {"textarea", "pre"},   {"time", "span"},
    {"xmp", "pre"},
}};
// Elements read as text and dropped with all of it: none of it is shown.
constexpr std::string_view droppedWithContent[] = {
    "iframe", "noembed", "noframes", "noscript", "script", "style", "title",
};
// Elements that never have content, whether laid out or not.
constexpr std::string_view voidElements[] = {
    "area", "base",  "basefont", "bgsound", "br",   "col",   "embed",  "frame", "hr",  "image",
    "img",  "input", "keygen",   "link",    "meta", "param", "source", "track", "wbr",
};
// Elements that lay out a page's body: see rulesOutFrameset.
constexpr std::string_view bodyContent[] = {
    "applet", "area",   "body",   "br",    "button",   "dd",  "dt",      "embed",
    "hr",     "iframe", "image",  "img",   "keygen",   "li",  "listing", "marquee",
    "object", "pre",    "select", "table", "textarea", "wbr", "xmp",
};
constexpr std::array<std::pair<std::string_view, TextModel>, 10> textModels = {{
    {"iframe", TextModel::Rawtext},
    {"noembed", TextModel::Rawtext},
    {"noframes", TextModel::Rawtext},
    {"noscript", TextModel::Rawtext},
    {"plaintext", TextModel::Plaintext},
    {"script", TextModel::ScriptData},
    {"style", TextModel::Rawtext},
    {"textarea", TextModel::Rcdata},
    {"title", TextModel::Rcdata},
    {"xmp", TextModel::Rawtext},
}};

// What a start tag ends without saying so: see ImpliedEnd.
constexpr std::string_view closesParagraph[] = {
    "address", "blockquote", "center", "dd", "div", "dl", "dt", "h1",  "h2",    "h3",
    "h4",      "h5",         "h6",     "hr", "li",  "ol", "p",  "pre", "table", "ul"};
constexpr std::string_view paragraphScope[] = {"caption", "html", "table", "td", "th"};
constexpr std::string_view paragraph[] = {"p"};
constexpr std::string_view listItem[] = {"li"};
constexpr std::string_view definitionItems[] = {"dd", "dt"};
constexpr std::string_view row[] = {"tr"};
constexpr std::string_view cells[] = {"td", "th"};
constexpr std::string_view tableSections[] = {"tbody", "tfoot", "thead"};
constexpr std::string_view tableScope[] = {"table"};
constexpr std::string_view rowScope[] = {"table", "tr"};
constexpr std::string_view listScope[] = {"blockquote", "body",  "caption", "center", "dl", "html",
                                          "ol",         "table", "td",      "th",     "ul"};

enum class Value { Text, Word, Colour, Length, Pixels, Span, SmallNumber, FontSize, Style };

struct AttributeRule {
    std::string_view element;  // empty: on every element
    std::string_view name;
    Value value;
};

// The attributes Qt's rich text reads, less those that name pictures (src is rewritten apart).
constexpr std::array<AttributeRule, 33> attributeRules = {{
    {"", "align", Value::Word},
    {"", "dir", Value::Word},
    {"", "style", Value::Style},
    {"", "title", Value::Text},
    {"", "valign", Value::Word},
    {"a", "href", Value::Text},
    {"a", "name", Value::Text},
    {"body", "bgcolor", Value::Colour},
    {"font", "color", Value::Colour},
    {"font", "face", Value::Text},
    {"font", "size", Value::FontSize},
    {"hr", "width", Value::Length},
    {"img", "alt", Value::Text},
    {"img", "height", Value::Pixels},
    {"img", "width", Value::Pixels},
    {"ol", "type", Value::Word},
    {"table", "bgcolor", Value::Colour},
    {"table", "border", Value::SmallNumber},
    {"table", "bordercolor", Value::Colour},
    {"table", "cellpadding", Value::SmallNumber},
    {"table", "cellspacing", Value::SmallNumber},
    {"table", "height", Value::Length},
    {"table", "width", Value::Length},
    {"td", "bgcolor", Value::Colour},
    {"td", "colspan", Value::Span},
    {"td", "rowspan", Value::Span},
    {"td", "width", Value::Length},
    {"th", "bgcolor", Value::Colour},
    {"th", "colspan", Value::Span},
    {"th", "rowspan", Value::Span},
    {"th", "width", Value::Length},
    {"tr", "bgcolor", Value::Colour},
    {"ul", "type", Value::Word},
}};

constexpr std::size_t maxTextAttribute = 2000;
constexpr int maxLength = 2000;  // pixels, for sizes of pictures, tables and cells
constexpr int maxSpan = 8;
constexpr int maxSmallNumber = 100;

// A number of at most four digits, or -1.
int smallNumber(std::string_view digits) {
    if (digits.empty() || digits.size() > 4 ||
        !std::all_of(digits.begin(), digits.end(), isDigit)) {
        return -1;
    }
    int value = 0;
    for (const char c : digits) value = value * 10 + (c - '0');
    return value;
}

bool inRange(std::string_view digits, int low, int high) {
    const int value = smallNumber(digits);
    return value >= low && value <= high;
}

constexpr ImpliedEnd impliedEndRules[] = {
    {closesParagraph, paragraph, paragraphScope},
    {listItem, listItem, listScope},
    {definitionItems, definitionItems, listScope},
    {row, row, tableScope},
    {cells, cells, rowScope},
    {tableSections, tableSections, tableScope},
};

}  // namespace

std::string_view laidOutElement(std::string_view name) {
    for (const auto& [written, laidOut] : renamed) {
        if (written == name) return laidOut;
    }
    for (const std::string_view element : containers) {
        if (element == name) return element;
    }
    for (const std::string_view element : emptyElements) {
        if (element == name) return element;
    }
    return {};
}

bool isEmptyElement(std::string_view element) {
    return isAmong(emptyElements, element);
}

bool dropsContent(std::string_view name) {
    return isAmong(droppedWithContent, name);
}

bool isVoidElement(std::string_view name) {
    return isAmong(voidElements, name);
}

bool rulesOutFrameset(const Token& startTag) {
    const std::string_view name = startTag.name;
    if (name != "input") {
        // Asked of every start tag in a page's head: its first letter rules most names out.
        return std::any_of(
            std::begin(bodyContent), std::end(bodyContent),
            [&](std::string_view body) { return name.starts_with(body.front()) && body == name; });
    }
    return std::none_of(startTag.attributes.begin(), startTag.attributes.end(), [](const auto& a) {
        return a.name == "type" && lowered(a.value) == "hidden";
    });
}

TextModel textModelOf(std::string_view name) {
    for (const auto& [element, model] : textModels) {
        if (element == name) return model;
    }
    return TextModel::Markup;
}

std::span<const ImpliedEnd> impliedEnds() {
    return impliedEndRules;
}

std::optional<std::string> keptAttribute(std::string_view element, std::string_view name,
                                         std::string_view decoded) {
    const auto rule =
        std::find_if(attributeRules.begin(), attributeRules.end(), [&](const auto& r) {
            return (r.element.empty() || r.element == element) && r.name == name;
        });
    if (rule == attributeRules.end()) return std::nullopt;
    std::string value(trimmed(decoded));
    std::string_view number = value;
    bool kept = false;
    switch (rule->value) {
        case Value::Text:
            kept = value.size() <= maxTextAttribute;
            break;
        case Value::Word:
            kept = !value.empty() && value.size() <= 10 &&
                   std::all_of(value.begin(), value.end(), isLetter);
            break;
        case Value::Colour: {
            const std::string_view digits = std::string_view(value).substr(value.empty() ? 0 : 1);
            kept = (!value.empty() && value.front() == '#' && digits.size() >= 3 &&
                    digits.size() <= 8 && std::all_of(digits.begin(), digits.end(), isHexDigit)) ||
                   (!value.empty() && value.size() <= 20 &&
                    std::all_of(value.begin(), value.end(), isLetter));
            break;
        }
        case Value::Length:
            if (number.ends_with('%')) number.remove_suffix(1);
            kept = inRange(number, 0, maxLength);
            break;
        case Value::Pixels:
            kept = inRange(number, 0, maxLength);
            break;
        case Value::Span:
            kept = inRange(number, 1, maxSpan);
            break;
        case Value::SmallNumber:
            kept = inRange(number, 0, maxSmallNumber);
            break;
        case Value::FontSize:
            if (number.starts_with('+') || number.starts_with('-')) number.remove_prefix(1);
            kept = number.size() == 1 && isDigit(number.front());
            break;
        case Value::Style:
            value = filteredStyle(value);
            kept = !value.empty();
            break;
    }
    return kept ? std::optional(value) : std::nullopt;
}

}  // namespace zeravan::platform::markup
