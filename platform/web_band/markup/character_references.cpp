// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "character_references.h"

#include <algorithm>
#include <iterator>

#include "ascii_text.h"
#include "named_references.h"

namespace zeravan::platform::markup {

namespace {

using namespace ascii;

constexpr char32_t replacementCharacter = 0xFFFD;
constexpr char32_t beyondUnicode = 0x110000;
constexpr std::size_t longestName = 32;

// What numeric references to 0x80 … 0x9F stand for: the characters windows-1252 has there, as
// pages written in it meant.
constexpr char32_t c1Characters[32] = {
    0x20AC, 0x81,   0x201A, 0x192,  0x201E, 0x2026, 0x2020, 0x2021, 0x2C6,  0x2030, 0x160,
    0x2039, 0x152,  0x8D,   0x17D,  0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x2DC,  0x2122, 0x161,  0x203A, 0x153,  0x9D,   0x17E,  0x178,
};

char32_t numberedCharacter(char32_t number) {
    if (number == 0 || number >= beyondUnicode || (number >= 0xD800 && number <= 0xDFFF)) {
        return replacementCharacter;
    }
    if (number >= 0x80 && number <= 0x9F) return c1Characters[number - 0x80];
    return number;
}

// "&#65", "&#x41;": any number of digits; the ';' may be left out.
std::size_t appendNumbered(std::string& out, std::string_view text) {
    const bool hex = text.size() > 2 && lower(text[2]) == 'x';
    std::size_t end = hex ? 3 : 2;
    const std::size_t first = end;
    char32_t number = 0;
    for (; end < text.size() && (hex ? isHexDigit(text[end]) : isDigit(text[end])); ++end) {
        const char c = lower(text[end]);
        const char32_t digit = static_cast<char32_t>(isDigit(c) ? c - '0' : c - 'a' + 10);
        number = std::min<char32_t>(number * (hex ? 16 : 10) + digit, beyondUnicode);
    }
    if (end == first) return 0;
    if (end < text.size() && text[end] == ';') ++end;
    appendUtf8(out, numberedCharacter(number));
    return end;
}

std::size_t commonPrefix(std::string_view a, std::string_view b) {
    return static_cast<std::size_t>(std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first -
                                    a.begin());
}

// The longest name in the table that text (after the '&') starts with. Every name that starts
// it sorts at or before it, and the name just before it then starts with that name too: no
// longer name than it shares with its neighbours is looked for.
const NamedReference* longestNamed(std::string_view text) {
    std::size_t length = 0;
    while (length < text.size() && length < longestName && isLetterOrDigit(text[length])) {
        ++length;
    }
    if (length < text.size() && text[length] == ';') ++length;
    const auto table = namedReferenceTable();
    const auto find = [&](std::string_view name) {
        return std::lower_bound(
            table.begin(), table.end(), name,
            [](const NamedReference& entry, std::string_view key) { return entry.name < key; });
    };
    const std::string_view candidate = text.substr(0, length);
    const auto next = find(candidate);
    std::size_t shared = next != table.end() ? commonPrefix(next->name, candidate) : 0;
    if (next != table.begin())
        shared = std::max(shared, commonPrefix(std::prev(next)->name, candidate));
    for (length = shared; length > 0; --length) {
        const std::string_view name = text.substr(0, length);
        const auto at = find(name);
        if (at != table.end() && at->name == name) return &*at;
    }
    return nullptr;
}

}  // namespace

void appendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

std::size_t appendReference(std::string& out, std::string_view text, bool inAttribute) {
    if (text.size() < 2) return 0;
    if (text[1] == '#') return appendNumbered(out, text);
    const NamedReference* named = longestNamed(text.substr(1));
    if (named == nullptr) return 0;
    const std::size_t end = 1 + named->name.size();
    const bool keptAsWritten = inAttribute && !named->name.ends_with(';') && end < text.size() &&
                               (isLetterOrDigit(text[end]) || text[end] == '=');
    if (keptAsWritten) return 0;
    appendUtf8(out, named->first);
    if (named->second != 0) appendUtf8(out, named->second);
    return end;
}

}  // namespace zeravan::platform::markup
