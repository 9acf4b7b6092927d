// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "platform/page_sanitizer.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>
#include <span>
#include <utility>

#include "ascii_text.h"
#include "markup_rules.h"

namespace zeravan::platform {

namespace {

using namespace ascii;
using namespace markup;
using Names = std::span<const std::string_view>;

constexpr std::size_t maxAttributes = 32;  // on one element; more are read and dropped

// The number in a kept width or height.
int pixels(std::string_view digits) {
    int value = -1;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return value;
}

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

// The length of a character reference at the start of text ("&amp;", "&#39;", "&#x4e2d;") and
// the character of a numeric one (0 for a named one); 0 and 0 when there is none.
std::pair<std::size_t, char32_t> characterReference(std::string_view text) {
    if (text.size() < 3 || text[0] != '&') return {0, 0};
    std::size_t end = 1;
    char32_t code = 0;
    if (text[1] == '#') {
        const bool hex = text.size() > 2 && (text[2] == 'x' || text[2] == 'X');
        end = hex ? 3 : 2;
        const std::size_t first = end;
        while (end < text.size() && end - first < 7 && isHexDigit(text[end]) &&
               (hex || isDigit(text[end]))) {
            const char c = lower(text[end]);
            code =
                code * (hex ? 16 : 10) + static_cast<char32_t>(isDigit(c) ? c - '0' : c - 'a' + 10);
            ++end;
        }
        const bool valid =
            end > first && code > 0 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
        if (!valid) return {0, 0};
    } else {
        while (end < text.size() && end <= 10 && isLetterOrDigit(text[end])) {
            ++end;
        }
        if (end == 1 || !isLetter(text[1])) return {0, 0};
    }
    if (end >= text.size() || text[end] != ';') return {0, 0};
    return {end + 1, code};
}

// An attribute's value with the references that matter in addresses and numbers resolved (any
// other named reference stays as written) and without NUL characters.
std::string decodedValue(std::string_view raw) {
    static constexpr std::array<std::pair<std::string_view, char>, 5> named = {
        {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}}};
    std::string value;
    for (std::size_t pos = 0; pos < raw.size();) {
        const auto [length, code] = characterReference(raw.substr(pos));
        const std::string_view reference = raw.substr(pos, length);
        const auto known = std::find_if(named.begin(), named.end(), [&](const auto& entry) {
            return entry.first == reference;
        });
        if (length > 0 && code != 0) {
            appendUtf8(value, code);
            pos += length;
        } else if (length > 0 && known != named.end()) {
            value += known->second;
            pos += length;
        } else {
            if (raw[pos] != '\0') value += raw[pos];
            ++pos;
        }
    }
    return value;
}

void appendEscaped(std::string& out, std::string_view value) {
    for (const char c : value) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            default:
                out += c;
        }
    }
}

struct Attribute {
    std::string name;
    std::string_view raw;
};

class Sanitizer {
public:
    explicit Sanitizer(std::string_view html) : in_(html) {}

    SanitizedPage run() {
        while (pos_ < in_.size() && !refused_) {
            if (in_[pos_] == '<') {
                markup();
            } else {
                text();
            }
            refused_ = refused_ || textBytes_ > maxPageText;
        }
        while (!open_.empty() && !refused_) close();
        if (refused_) return {};
        return {true, std::move(out_), std::move(images_)};
    }

private:
    // Text up to the next '<', with every '&' that starts no character reference and every '>'
    // escaped, so that nothing in it reads as markup.
    void text() {
        const std::size_t end = std::min(in_.find('<', pos_), in_.size());
        while (pos_ < end) {
            const char c = in_[pos_];
            const std::size_t reference =
                c == '&' ? characterReference(in_.substr(pos_, end - pos_)).first : 0;
            if (reference > 0) {
                out_ += in_.substr(pos_, reference);
                pos_ += reference;
                ++textBytes_;
                continue;
            }
            textBytes_ += isBlank(c) && pos_ > 0 && isBlank(in_[pos_ - 1]) ? 0 : 1;
            if (c == '&') {
                out_ += "&amp;";
            } else if (c == '>') {
                out_ += "&gt;";
            } else if (c != '\0') {
                out_ += c;
            }
            ++pos_;
        }
    }

    void markup() {
        const std::string_view rest = in_.substr(pos_);
        if (rest.starts_with("<!--")) {
            const std::size_t end = in_.find("-->", pos_ + 4);
            pos_ = end == std::string_view::npos ? in_.size() : end + 3;
        } else if (rest.size() > 2 && rest[1] == '/' && isLetter(rest[2])) {
            pos_ += 2;
            const std::string name = tagName();
            skipPast('>');
            endTag(name);
        } else if (rest.size() > 1 && isLetter(rest[1])) {
            ++pos_;
            startTag();
        } else if (rest.size() > 1 && (rest[1] == '!' || rest[1] == '?' || rest[1] == '/')) {
            skipPast('>');  // a declaration, a processing instruction or a broken end tag
        } else {
            out_ += "&lt;";
            ++textBytes_;
            ++pos_;
        }
    }

    void skipPast(char c) {
        const std::size_t end = in_.find(c, pos_);
        pos_ = end == std::string_view::npos ? in_.size() : end + 1;
    }

    std::string tagName() {
        const std::size_t start = pos_;
        while (pos_ < in_.size() && !isBlank(in_[pos_]) && in_[pos_] != '/' && in_[pos_] != '>') {
            ++pos_;
        }
        return lowered(in_.substr(start, pos_ - start));
    }

    std::vector<Attribute> attributes() {
        std::vector<Attribute> found;
        while (pos_ < in_.size()) {
            while (pos_ < in_.size() && (isBlank(in_[pos_]) || in_[pos_] == '/')) ++pos_;
            if (pos_ >= in_.size() || in_[pos_] == '>') break;
            const std::size_t start = pos_++;
            while (pos_ < in_.size() && !isBlank(in_[pos_]) && in_[pos_] != '/' &&
                   in_[pos_] != '>' && in_[pos_] != '=') {
                ++pos_;
            }
            Attribute attribute{lowered(in_.substr(start, pos_ - start)), {}};
            while (pos_ < in_.size() && isBlank(in_[pos_])) ++pos_;
            if (pos_ < in_.size() && in_[pos_] == '=') {
                ++pos_;
                while (pos_ < in_.size() && isBlank(in_[pos_])) ++pos_;
                attribute.raw = quotedOrBareValue();
            }
            const bool repeated = std::any_of(found.begin(), found.end(), [&](const Attribute& a) {
                return a.name == attribute.name;
            });
            if (!repeated && found.size() < maxAttributes) found.push_back(std::move(attribute));
        }
        pos_ = std::min(pos_ + 1, in_.size());
        return found;
    }

    std::string_view quotedOrBareValue() {
        if (pos_ < in_.size() && (in_[pos_] == '"' || in_[pos_] == '\'')) {
            const char quote = in_[pos_++];
            const std::size_t start = pos_;
            skipPast(quote);
            return in_.substr(start, std::min(pos_ - 1, in_.size()) - start);
        }
        const std::size_t start = pos_;
        while (pos_ < in_.size() && !isBlank(in_[pos_]) && in_[pos_] != '>') ++pos_;
        return in_.substr(start, pos_ - start);
    }

    void startTag() {
        const std::string written = tagName();
        const std::vector<Attribute> found = attributes();
        if (dropsContent(written)) {
            skipContentOf(written);
            return;
        }
        const std::string_view name = laidOutElement(written);
        const bool repeatedRoot = (name == "html" || name == "body") && isAmong(open_, name);
        if (name.empty() || repeatedRoot) return;
        closeImpliedBy(name);
        if (name == "img" && images_.size() >= maxPageImages) return;
        if (++elements_ > maxPageElements) {
            refused_ = true;
            return;
        }
        out_ += '<';
        out_ += name;
        if (name == "img") {
            const auto source = std::find_if(found.begin(), found.end(),
                                             [](const Attribute& a) { return a.name == "src"; });
            PageImage image;
            if (source != found.end()) image.source = trimmed(decodedValue(source->raw));
            writeAttribute("src", pageImageName(images_.size()));
            for (const Attribute& attribute : found) {
                const std::optional<std::string> value =
                    keptAttribute(name, attribute.name, decodedValue(attribute.raw));
                if (!value) continue;
                writeAttribute(attribute.name, *value);
                if (attribute.name == "width") image.width = pixels(*value);
                if (attribute.name == "height") image.height = pixels(*value);
            }
            images_.push_back(std::move(image));
        } else {
            for (const Attribute& attribute : found) {
                const std::optional<std::string> value =
                    keptAttribute(name, attribute.name, decodedValue(attribute.raw));
                if (value) writeAttribute(attribute.name, *value);
            }
        }
        out_ += '>';
        if (isEmptyElement(name)) return;
        const bool tooDeep =
            open_.size() >= maxPageDepth ||
            (name == "table" && static_cast<std::size_t>(std::count(open_.begin(), open_.end(),
                                                                    "table")) >= maxTableNesting);
        if (tooDeep) {
            refused_ = true;
            return;
        }
        open_.push_back(name);
    }

    void writeAttribute(std::string_view name, std::string_view value) {
        out_ += ' ';
        out_ += name;
        out_ += "=\"";
        appendEscaped(out_, value);
        out_ += '"';
    }

    // Everything up to the element's end tag, or to the end of the page.
    void skipContentOf(std::string_view name) {
        const std::string endTag = "</" + std::string(name);
        while (pos_ < in_.size()) {
            const std::size_t at = in_.find("</", pos_);
            if (at == std::string_view::npos) break;
            pos_ = at + 2;
            if (lowered(in_.substr(at, endTag.size())) == endTag) {
                skipPast('>');
                return;
            }
        }
        pos_ = in_.size();
    }

    void endTag(std::string_view written) {
        const std::string_view name = laidOutElement(written);
        if (name.empty() || isEmptyElement(name)) return;
        const auto at = std::find(open_.rbegin(), open_.rend(), name);
        if (at == open_.rend()) return;
        closeDownTo(static_cast<std::size_t>(open_.rend() - at) - 1);
    }

    void closeImpliedBy(std::string_view name) {
        for (const ImpliedEnd& rule : impliedEnds()) {
            if (isAmong(rule.startedBy, name)) closeNearest(rule.ends, rule.scope);
        }
    }

    void closeNearest(Names targets, Names scope) {
        for (std::size_t i = open_.size(); i-- > 0;) {
            if (isAmong(targets, open_[i])) {
                closeDownTo(i);
                return;
            }
            if (isAmong(scope, open_[i])) return;
        }
    }

    void closeDownTo(std::size_t depth) {
        while (open_.size() > depth) close();
    }

    void close() {
        out_ += "</";
        out_ += open_.back();
        out_ += '>';
        open_.pop_back();
    }

    std::string_view in_;
    std::size_t pos_ = 0;
    std::string out_;
    std::vector<std::string_view> open_;
    std::vector<PageImage> images_;
    std::size_t elements_ = 0;
    std::size_t textBytes_ = 0;
    bool refused_ = false;
};

}  // namespace

std::string pageImageName(std::size_t index) {
    return "zeravan-image:" + std::to_string(index);
}

SanitizedPage sanitizePage(std::string_view html) {
    return Sanitizer(html).run();
}

}  // namespace zeravan::platform
