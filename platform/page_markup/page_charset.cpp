// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "platform/page_charset.h"

#include <algorithm>

#include "ascii_text.h"

namespace zeravan::platform {

namespace {

// Where a <meta> declaration may stand: pages put it first in their head.
constexpr std::size_t metaScanBytes = 4096;
constexpr std::size_t maxNameLength = 40;

bool isNameChar(char c) {
    return ascii::isLetterOrDigit(c) || c == '.' || c == '_' || c == ':' || c == '-';
}

std::size_t findNoCase(std::string_view text, std::string_view word, std::size_t from) {
    const auto at =
        std::search(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(), word.begin(),
                    word.end(), [](char a, char b) { return ascii::lower(a) == ascii::lower(b); });
    return at == text.end() ? std::string_view::npos : static_cast<std::size_t>(at - text.begin());
}

// The value after each "charset" followed by "=" in text (blanks and quotes around it allowed),
// the first that is a usable name.
std::string charsetParameter(std::string_view text) {
    for (std::size_t at = findNoCase(text, "charset", 0); at != std::string_view::npos;
         at = findNoCase(text, "charset", at + 1)) {
        std::size_t pos = at + 7;
        while (pos < text.size() && text[pos] == ' ') ++pos;
        if (pos >= text.size() || text[pos] != '=') continue;
        ++pos;
        while (pos < text.size() && (text[pos] == ' ' || text[pos] == '"' || text[pos] == '\'')) {
            ++pos;
        }
        std::size_t end = pos;
        while (end < text.size() && isNameChar(text[end])) ++end;
        if (end > pos && end - pos <= maxNameLength)
            return std::string(text.substr(pos, end - pos));
    }
    return {};
}

std::string byteOrderMark(std::string_view body) {
    if (body.starts_with("\xEF\xBB\xBF")) return "UTF-8";
    if (body.starts_with("\xFE\xFF")) return "UTF-16BE";
    if (body.starts_with("\xFF\xFE")) return "UTF-16LE";
    return {};
}

std::string metaCharset(std::string_view body) {
    const std::string_view head = body.substr(0, metaScanBytes);
    for (std::size_t at = findNoCase(head, "<meta", 0); at != std::string_view::npos;
         at = findNoCase(head, "<meta", at + 1)) {
        const std::size_t end = head.find('>', at);
        std::string name = charsetParameter(head.substr(at, end - at));
        if (name.empty()) continue;
        // A page that can be read this far is not in UTF-16, whatever it says.
        if (findNoCase(name, "utf-16", 0) == 0) return "UTF-8";
        return name;
    }
    return {};
}

}  // namespace

std::string pageCharset(std::string_view contentType, std::string_view body) {
    for (std::string name :
         {byteOrderMark(body), charsetParameter(contentType), metaCharset(body)}) {
        if (!name.empty()) return name;
    }
    return "UTF-8";
}

}  // namespace zeravan::platform
