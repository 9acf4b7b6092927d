// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// libFuzzer target: whatever a server sends, what reaches the web band's layout is well-formed,
// no deeper than allowed, names no picture but ours and no resource in its styles, asks for no
// picture without a name, reads back unchanged, and the page's encoding name is a plain name.
#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/page_charset.h"
#include "platform/page_sanitizer.h"

namespace {

using namespace zeravan::platform;

void check(bool condition) {
    if (!condition) __builtin_trap();
}

bool isNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '.' || c == '_' || c == ':' ||
           c == '-';
}

// Reads the markup as Qt's rich text reads it: every '<' opens a tag, attribute values are
// double-quoted. Checks every element is closed in order and the nesting stays within limits.
void checkMarkup(std::string_view html) {
    std::vector<std::string> open;
    std::size_t pos = 0;
    while ((pos = html.find('<', pos)) != std::string_view::npos) {
        const std::size_t end = html.find('>', pos);
        check(end != std::string_view::npos);
        const std::string_view tag = html.substr(pos + 1, end - pos - 1);
        check(tag.find('<') == std::string_view::npos);
        pos = end + 1;
        if (tag.starts_with('/')) {
            check(!open.empty() && open.back() == tag.substr(1));
            open.pop_back();
            continue;
        }
        const std::string name(tag.substr(0, tag.find(' ')));
        check(!name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
            return std::islower(static_cast<unsigned char>(c)) != 0 ||
                   std::isdigit(static_cast<unsigned char>(c)) != 0;
        }));
        // Attributes: name="value", value without quotes or angle brackets.
        for (std::size_t at = name.size(); at < tag.size();) {
            check(tag[at] == ' ');
            const std::size_t equals = tag.find("=\"", at);
            check(equals != std::string_view::npos);
            const std::size_t close = tag.find('"', equals + 2);
            check(close != std::string_view::npos);
            const std::string_view attribute = tag.substr(at + 1, equals - at - 1);
            const std::string_view value = tag.substr(equals + 2, close - equals - 2);
            check(attribute != "background" && attribute != "source");
            if (attribute == "src") check(value.starts_with("zeravan-image:"));
            if (attribute == "style")
                check(value.find_first_of("()\\@{}/*<>!") == std::string_view::npos);
            at = close + 1;
        }
        if (name != "br" && name != "hr" && name != "img") open.push_back(name);
        check(open.size() <= maxPageDepth);
    }
    check(open.empty());
}

}  // namespace

// The first line stands for the Content-Type header, the rest for the page.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t newline = std::min(input.find('\n'), input.size());
    const std::string_view contentType = input.substr(0, newline);
    const std::string_view page = input.substr(std::min(newline + 1, input.size()));

    const std::string charset = pageCharset(contentType, page);
    check(!charset.empty() && charset.size() <= 40 &&
          std::all_of(charset.begin(), charset.end(), isNameChar));

    const SanitizedPage first = sanitizePage(page);
    if (!first.accepted) return 0;
    check(first.images.size() <= maxPageImages);
    checkMarkup(first.html);
    const SanitizedPage again = sanitizePage(first.html);
    check(again.accepted && again.html == first.html && again.images.size() == first.images.size());
    for (std::size_t i = 0; i < again.images.size(); ++i) {
        check(!first.images[i].source.empty());
        check(again.images[i].source == pageImageName(i));
    }
    return 0;
}
