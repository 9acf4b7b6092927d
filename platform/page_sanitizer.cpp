// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "platform/page_sanitizer.h"

#include <algorithm>
#include <array>
#include <optional>
#include <span>
#include <utility>

#include "platform/ascii_text.h"
#include "platform/inline_style.h"

namespace zeravan::platform {

namespace {

using namespace ascii;
using Names = std::span<const std::string_view>;

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
// Newer elements written as the nearest one Qt knows.
constexpr std::array<std::pair<std::string_view, std::string_view>, 21> renamed = {{
    {"abbr", "span"},   {"article", "div"},  {"aside", "div"},      {"del", "s"},
    {"details", "div"}, {"fieldset", "div"}, {"figcaption", "div"}, {"figure", "div"},
    {"footer", "div"},  {"form", "div"},     {"header", "div"},     {"ins", "u"},
    {"label", "span"},  {"main", "div"},     {"mark", "span"},      {"nav", "div"},
    {"q", "span"},      {"section", "div"},  {"strike", "s"},       {"summary", "div"},
    {"time", "span"},
}};
// Elements dropped with all they hold: none of it is text of the page.
constexpr std::string_view droppedWithContent[] = {
    "iframe", "noembed",  "noframes", "noscript", "plaintext", "script",
    "style",  "template", "textarea", "title",    "xmp",
};

// A start tag of these closes an open paragraph, as in browsers.
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

constexpr std::size_t maxAttributes = 32;  // on one element; more are read and dropped
constexpr std::size_t maxTextAttribute = 2000;
constexpr int maxLength = 2000;  // pixels, for sizes of pictures, tables and cells
constexpr int maxSpan = 8;
constexpr int maxSmallNumber = 100;

bool contains(const auto& names, std::string_view name) {
    return std::find(std::begin(names), std::end(names), name) != std::end(names);
}

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

// The value an attribute keeps, or nothing when the band does without it.
std::optional<std::string> keptValue(std::string_view element, std::string_view name,
                                     std::string_view raw) {
    const auto rule =
        std::find_if(attributeRules.begin(), attributeRules.end(), [&](const auto& r) {
            return (r.element.empty() || r.element == element) && r.name == name;
        });
    if (rule == attributeRules.end()) return std::nullopt;
    std::string value(trimmed(decodedValue(raw)));
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

    static std::string_view knownName(std::string_view name) {
        for (const auto& [written, known] : renamed) {
            if (written == name) return known;
        }
        for (const std::string_view known : containers) {
            if (known == name) return known;
        }
        for (const std::string_view known : emptyElements) {
            if (known == name) return known;
        }
        return {};
    }

    void startTag() {
        const std::string written = tagName();
        const std::vector<Attribute> found = attributes();
        if (contains(droppedWithContent, written)) {
            skipContentOf(written);
            return;
        }
        const std::string_view name = knownName(written);
        const bool repeatedRoot = (name == "html" || name == "body") && contains(open_, name);
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
                    keptValue(name, attribute.name, attribute.raw);
                if (!value) continue;
                writeAttribute(attribute.name, *value);
                if (attribute.name == "width") image.width = smallNumber(*value);
                if (attribute.name == "height") image.height = smallNumber(*value);
            }
            images_.push_back(std::move(image));
        } else {
            for (const Attribute& attribute : found) {
                const std::optional<std::string> value =
                    keptValue(name, attribute.name, attribute.raw);
                if (value) writeAttribute(attribute.name, *value);
            }
        }
        out_ += '>';
        if (contains(emptyElements, name)) return;
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
        const std::string_view name = knownName(written);
        if (name.empty() || contains(emptyElements, name)) return;
        const auto at = std::find(open_.rbegin(), open_.rend(), name);
        if (at == open_.rend()) return;
        closeDownTo(static_cast<std::size_t>(open_.rend() - at) - 1);
    }

    // Elements a start tag ends without saying so, as browsers end them.
    void closeImpliedBy(std::string_view name) {
        if (contains(closesParagraph, name)) closeNearest(paragraph, paragraphScope);
        if (contains(listItem, name)) closeNearest(listItem, listScope);
        if (contains(definitionItems, name)) closeNearest(definitionItems, listScope);
        if (contains(row, name)) closeNearest(row, tableScope);
        if (contains(cells, name)) closeNearest(cells, rowScope);
        if (contains(tableSections, name)) closeNearest(tableSections, tableScope);
    }

    void closeNearest(Names targets, Names scope) {
        for (std::size_t i = open_.size(); i-- > 0;) {
            if (contains(targets, open_[i])) {
                closeDownTo(i);
                return;
            }
            if (contains(scope, open_[i])) return;
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
