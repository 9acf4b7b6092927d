// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "inline_style.h"

#include <algorithm>
#include <iterator>

#include "ascii_text.h"

namespace zeravan::platform {

namespace {

using namespace ascii;

constexpr std::size_t maxStyleLength = 1000;
// No number above this in a value: nothing sized absurdly (font weights go to 900).
constexpr int maxNumber = 200;
constexpr int maxFontWeight = 900;

// Values go through isPlainValue, so "background" can only ever be a colour.
constexpr std::string_view allowedProperties[] = {
    "background",   "background-color", "color",       "font-family", "font-size",
    "font-style",   "font-weight",      "line-height", "margin",      "margin-bottom",
    "margin-left",  "margin-right",     "margin-top",  "padding",     "padding-bottom",
    "padding-left", "padding-right",    "padding-top", "text-align",  "text-decoration",
    "text-indent",  "vertical-align",   "white-space",
};

bool isHexColour(std::string_view word) {
    return word.size() >= 4 && word.size() <= 9 && word.front() == '#' &&
           std::all_of(word.begin() + 1, word.end(), isHexDigit);
}

// Letters (any script), numbers up to limit, quotes and . % - + only.
bool isPlainWord(std::string_view word, int limit) {
    int number = 0;
    for (const char c : word) {
        const auto byte = static_cast<unsigned char>(c);
        number = isDigit(c) ? number * 10 + (c - '0') : 0;
        if (number > limit) return false;
        const bool allowed = isLetterOrDigit(c) || byte >= 0x80 || c == '.' || c == '%' ||
                             c == '-' || c == '+' || c == '\'' || c == '"';
        if (!allowed) return false;
    }
    return true;
}

bool isPlainValue(std::string_view value, int limit) {
    std::size_t start = 0;
    while (start <= value.size()) {
        std::size_t end = value.find_first_of(" \t\n\r\f,", start);
        if (end == std::string_view::npos) end = value.size();
        const std::string_view word = value.substr(start, end - start);
        if (!isHexColour(word) && !isPlainWord(word, limit)) return false;
        start = end + 1;
    }
    return true;
}

// Calls use(property, value) for each declaration, the property in lower case.
template <typename Use>
void forEachDeclaration(std::string_view style, Use use) {
    std::size_t start = 0;
    while (start < style.size()) {
        std::size_t end = style.find(';', start);
        if (end == std::string_view::npos) end = style.size();
        const std::string_view declaration = style.substr(start, end - start);
        start = end + 1;
        const std::size_t colon = declaration.find(':');
        if (colon == std::string_view::npos) continue;
        use(lowered(trimmed(declaration.substr(0, colon))), trimmed(declaration.substr(colon + 1)));
    }
}

// A value in lower case, without "!important".
std::string plainKeyword(std::string_view value) {
    std::string word = lowered(value);
    if (const std::size_t bang = word.find('!'); bang != std::string::npos) {
        word = std::string(trimmed(std::string_view(word).substr(0, bang)));
    }
    return word;
}

}  // namespace

std::string filteredStyle(std::string_view style) {
    if (style.size() > maxStyleLength) return {};
    std::string kept;
    forEachDeclaration(style, [&](const std::string& property, std::string_view value) {
        const int limit = property == "font-weight" ? maxFontWeight : maxNumber;
        if (value.empty() || !isPlainValue(value, limit) ||
            std::find(std::begin(allowedProperties), std::end(allowedProperties), property) ==
                std::end(allowedProperties)) {
            return;
        }
        if (!kept.empty()) kept += "; ";
        kept += property;
        kept += ": ";
        kept += value;
    });
    return kept;
}

bool hidesElement(std::string_view style) {
    bool hides = false;
    forEachDeclaration(style, [&](const std::string& property, std::string_view value) {
        if (property == "display") hides = plainKeyword(value) == "none";
    });
    return hides;
}

std::optional<bool> keepsBlanks(std::string_view style) {
    std::optional<bool> keeps;
    forEachDeclaration(style, [&](const std::string& property, std::string_view value) {
        if (property != "white-space") return;
        const std::string mode = plainKeyword(value);
        if (mode == "normal" || mode == "nowrap") keeps = false;
        if (mode == "pre" || mode == "pre-wrap" || mode == "pre-line" || mode == "break-spaces") {
            keeps = true;
        }
    });
    return keeps;
}

}  // namespace zeravan::platform
