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
#include "foreign_content.h"
#include "html_tokenizer.h"
#include "inline_style.h"
#include "markup_rules.h"

namespace zeravan::platform {

namespace {

using namespace ascii;
using namespace markup;
using Names = std::span<const std::string_view>;

// The number in a kept width or height.
int pixels(std::string_view digits) {
    int value = -1;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
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

const std::string* attributeValue(const Token& tag, std::string_view name) {
    const auto at = std::find_if(tag.attributes.begin(), tag.attributes.end(),
                                 [&](const Attribute& a) { return a.name == name; });
    return at == tag.attributes.end() ? nullptr : &at->value;
}

// An element open in the page, as the page wrote it and as it is laid out.
struct OpenElement {
    std::string written;
    std::string_view laidOut;  // empty: not written out
    bool hidden;               // it or an element around it is not shown
    bool keepsBlanks;          // its line breaks, tabs and blanks are laid out as written
    Namespace space = Namespace::Html;
    HtmlInside htmlInside = HtmlInside::Nothing;
    bool holdsElements = false;  // an element inside it is written out
};

// HTML's end tags and implied ends reach no element outside this one.
bool fences(const OpenElement& element) {
    return element.space == Namespace::Html ? element.written == "template"
                                            : fencesHtml(element.space, element.written);
}

class Sanitizer {
public:
    explicit Sanitizer(std::string_view html) : tokens_(html) {}

    SanitizedPage run() {
        for (Token token = next(); token.kind != Token::Kind::End && !refused_ && !frameset_;
             token = next()) {
            if (token.kind == Token::Kind::Text) {
                text(token.text);
            } else if (token.kind == Token::Kind::StartTag) {
                startTag(token);
            } else {
                endTag(token.name);
            }
            refused_ = refused_ || textBytes_ > maxPageText;
        }
        // A frameset page shows nothing of its own: browsers show its frames in its place.
        if (frameset_) return {true, {}, {}};
        while (!open_.empty() && !refused_) close();
        if (refused_) return {};
        return {true, std::move(out_), std::move(images_)};
    }

private:
    bool hidden() const { return !open_.empty() && open_.back().hidden; }
    bool inForeignContent() const {
        return !open_.empty() && open_.back().space != Namespace::Html;
    }

    Token next() {
        tokens_.readCdataAsText(inForeignContent());
        return tokens_.next();
    }

    // Counted as laid out: a run of blanks is one byte, unless the element lays them out.
    void text(std::string_view characters) {
        const bool blanks = std::all_of(characters.begin(), characters.end(), isBlank);
        framesetOk_ = framesetOk_ && blanks;
        if (hidden()) return;
        const bool keepsBlanks = !open_.empty() && open_.back().keepsBlanks;
        for (const char c : characters) {
            if (textBytes_ > maxPageText) return;  // refused: no need to read on
            const bool blank = isBlank(c);
            textBytes_ += blank && !keepsBlanks && lastWasBlank_ ? 0 : 1;
            lastWasBlank_ = blank;
            if (c == '&') {
                out_ += "&amp;";
            } else if (c == '<') {
                out_ += "&lt;";
            } else if (c == '>') {
                out_ += "&gt;";
            } else if (c == '\f') {
                out_ += ' ';
            } else if (c == '\r') {
                out_ += '\n';  // only "&#13;" leaves one: a line break where those are laid out
            } else if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n') {
                out_ += c;  // other controls show nothing
            }
        }
    }

    // Inside SVG or MathML a start tag opens an element of theirs, unless it is HTML's there.
    void startTag(const Token& tag) {
        if (inForeignContent()) {
            const OpenElement& current = open_.back();
            if (!readByHtmlRules(current.space, current.written, current.htmlInside, tag)) {
                if (!breaksOutOfForeignContent(tag)) {
                    openForeign(tag, current.space);
                    return;
                }
                while (inForeignContent() && open_.back().htmlInside == HtmlInside::Nothing) {
                    close();
                }
            }
        }
        htmlStartTag(tag);
    }

    void htmlStartTag(const Token& tag) {
        framesetOk_ = framesetOk_ && !rulesOutFrameset(tag);
        if (tag.name == "frameset" && framesetOk_) {
            frameset_ = true;
            return;
        }
        if (const Namespace space = namespaceOpenedBy(tag.name); space != Namespace::Html) {
            openForeign(tag, space);
            return;
        }
        const TextModel model = textModelOf(tag.name);
        if (model != TextModel::Markup) tokens_.readContentAs(model);
        if (dropsContent(tag.name)) {
            skipContent();
            return;
        }
        const std::string* style = attributeValue(tag, "style");
        const bool hides = hidden() || tag.name == "template" ||
                           attributeValue(tag, "hidden") != nullptr ||
                           (style != nullptr && hidesElement(*style));
        const std::string_view name = laidOutElement(tag.name);
        if (name.empty() && (!hides || isVoidElement(tag.name))) return;
        const bool repeatedRoot = (name == "html" || name == "body") &&
                                  std::any_of(open_.begin(), open_.end(),
                                              [&](const auto& e) { return e.laidOut == name; });
        if (repeatedRoot) return;
        closeImpliedBy(name);
        const std::string* source = attributeValue(tag, "src");
        const std::string_view imageSource = source != nullptr ? trimmed(*source) : "";
        if (name == "img" && (hides || images_.size() >= maxPageImages || imageSource.empty())) {
            return;  // a picture not shown, or one that names nothing, is not asked for
        }
        if (++elements_ > maxPageElements) {
            refused_ = true;
            return;
        }
        if (!hides) {
            writeStartTag(name, tag, imageSource);
            if (!open_.empty()) open_.back().holdsElements = true;
        }
        if (isEmptyElement(name)) return;
        const bool tooDeep =
            open_.size() >= maxPageDepth ||
            (name == "table" && static_cast<std::size_t>(std::count_if(
                                    open_.begin(), open_.end(), [](const OpenElement& e) {
                                        return e.laidOut == "table";
                                    })) >= maxTableNesting);
        if (tooDeep) {
            refused_ = true;
            return;
        }
        const bool inheritsBlanks = !open_.empty() && open_.back().keepsBlanks;
        const bool keepsBlanks = (style != nullptr ? platform::keepsBlanks(*style) : std::nullopt)
                                     .value_or(inheritsBlanks || name == "pre");
        open_.push_back({tag.name, name, hides, keepsBlanks});
    }

    // The band paints neither SVG nor MathML: their elements are read, to end where browsers
    // end them, and dropped with all they hold, as a picture the band cannot draw.
    void openForeign(const Token& tag, Namespace space) {
        if (++elements_ > maxPageElements || open_.size() >= maxPageDepth) {
            refused_ = true;
            return;
        }
        if (tag.selfClosing) return;
        open_.push_back({tag.name, {}, true, false, space, htmlInside(space, tag)});
    }

    void writeStartTag(std::string_view name, const Token& tag, std::string_view imageSource) {
        out_ += '<';
        out_ += name;
        PageImage image;
        if (name == "img") {
            image.source = imageSource;
            writeAttribute("src", pageImageName(images_.size()));
        }
        for (const Attribute& attribute : tag.attributes) {
            const std::optional<std::string> value =
                keptAttribute(name, attribute.name, attribute.value);
            if (!value) continue;
            writeAttribute(attribute.name, *value);
            if (attribute.name == "width") image.width = pixels(*value);
            if (attribute.name == "height") image.height = pixels(*value);
        }
        out_ += '>';
        if (name == "img") images_.push_back(std::move(image));
    }

    void writeAttribute(std::string_view name, std::string_view value) {
        out_ += ' ';
        out_ += name;
        out_ += "=\"";
        appendEscaped(out_, value);
        out_ += '"';
    }

    // The tokenizer reads the element's content as text up to its end tag or the page's end.
    void skipContent() {
        while (tokens_.next().kind == Token::Kind::Text) {
        }
    }

    // Inside SVG or MathML the nearest open element of theirs of that name, up to where HTML
    // stands again; then the nearest open HTML element of that name, as long as no template
    // or foreign element holding HTML lies between.
    void endTag(const std::string& written) {
        framesetOk_ = framesetOk_ && written != "br";  // "</br>" is read as a <br>
        for (std::size_t i = open_.size(); i-- > 0 && open_[i].space != Namespace::Html;) {
            if (open_[i].written == written) {
                closeDownTo(i);
                return;
            }
        }
        for (std::size_t i = open_.size(); i-- > 0;) {
            if (open_[i].space == Namespace::Html && open_[i].written == written) {
                closeDownTo(i);
                return;
            }
            if (fences(open_[i])) return;
        }
    }

    void closeImpliedBy(std::string_view name) {
        for (const ImpliedEnd& rule : impliedEnds()) {
            if (isAmong(rule.startedBy, name)) closeNearest(rule.ends, rule.scope);
        }
    }

    void closeNearest(Names targets, Names scope) {
        for (std::size_t i = open_.size(); i-- > 0;) {
            if (isAmong(targets, open_[i].laidOut)) {
                closeDownTo(i);
                return;
            }
            if (isAmong(scope, open_[i].laidOut) || fences(open_[i])) return;
        }
    }

    void closeDownTo(std::size_t depth) {
        while (open_.size() > depth) close();
    }

    // Qt ends a div's line only when it holds an element: an empty span gives it one, so that
    // text after the div starts a line of its own, as in browsers (where nesting leaves room).
    void close() {
        const OpenElement& element = open_.back();
        if (!element.hidden && element.laidOut == "div" && !element.holdsElements &&
            open_.size() < maxPageDepth) {
            out_ += "<span></span>";
        }
        if (!element.hidden && !element.laidOut.empty()) {
            out_ += "</";
            out_ += element.laidOut;
            out_ += '>';
        }
        open_.pop_back();
    }

    HtmlTokenizer tokens_;
    std::string out_;
    std::vector<OpenElement> open_;
    std::vector<PageImage> images_;
    std::size_t elements_ = 0;
    std::size_t textBytes_ = 0;
    bool lastWasBlank_ = false;
    bool framesetOk_ = true;  // a <frameset> would still stand for the page
    bool frameset_ = false;
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
