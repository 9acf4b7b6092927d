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

constexpr std::string_view imageNamePrefix = "zeravan-image:";

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
            case '\r':  // from "&#13;": written as it came, as a CR written would read as LF
                out += "&#13;";
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

// A table's own structure, where text and other elements do not stand: browsers show them
// before the table.
constexpr std::string_view tableStructure[] = {"table", "tbody", "tfoot", "thead", "tr"};
constexpr std::string_view tableParts[] = {"caption", "table", "tbody", "td",
                                           "tfoot",   "th",    "thead", "tr"};
// Other end tags reach no element outside these.
constexpr std::string_view tableScope[] = {"caption", "table", "td", "th"};

// An element open in the page, as the page wrote it and as it is laid out.
struct OpenElement {
    std::string written;
    std::string_view laidOut;  // empty: not written out
    bool hidden;               // it or an element around it is not shown
    bool keepsBlanks;          // its line breaks, tabs and blanks are laid out as written
    bool unwrapped;            // its content is written out, not its tags
    std::size_t standsIn;      // the piece of the page it is written in: see Sanitizer::pieces_
    std::size_t contentIn;     // the piece its content is written in: a table's is its own
    std::size_t depth;         // how deep it stands in the page written, the top element 1
    std::size_t parentEnd;     // its parent in the page written is open_[parentEnd - 1], if any
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
        numberImagesInPageOrder();
        return {true, std::move(pieces_.front()), std::move(images_)};
    }

private:
    bool inForeignContent() const {
        return !open_.empty() && open_.back().space != Namespace::Html;
    }

    Token next() {
        tokens_.readCdataAsText(inForeignContent());
        return tokens_.next();
    }

    struct Place {
        std::size_t piece;
        OpenElement* parent;  // null at the top of the page
    };

    // Where what comes next stands: in the current element, or before the table, in the table's
    // parent, when the current element is a table's own structure and what comes may not stand
    // there.
    Place placeFor(bool fosterable) {
        if (open_.empty()) return {0, nullptr};
        OpenElement& current = open_.back();
        if (!fosterable || current.space != Namespace::Html ||
            !isAmong(tableStructure, current.laidOut)) {
            return {current.contentIn, &current};
        }
        const auto table = std::find_if(open_.rbegin(), open_.rend(),
                                        [](const OpenElement& e) { return e.laidOut == "table"; });
        if (table == open_.rend()) return {current.contentIn, &current};
        const auto parent = std::next(table);
        return {table->contentIn - 1, parent == open_.rend() ? nullptr : &*parent};
    }

    std::size_t parentEnd(const Place& place) const {
        return place.parent == nullptr ? 0
                                       : static_cast<std::size_t>(place.parent - open_.data()) + 1;
    }

    static std::size_t depthIn(const Place& place, bool written) {
        return (place.parent != nullptr ? place.parent->depth : 0) + (written ? 1 : 0);
    }

    // The innermost open table, section, row, cell or caption, where HTML's rules reach it.
    std::optional<std::size_t> innermostTablePart() const {
        for (std::size_t i = open_.size(); i-- > 0;) {
            const OpenElement& element = open_[i];
            if (element.space == Namespace::Html && isAmong(tableParts, element.laidOut)) return i;
            if (fences(element)) break;
        }
        return std::nullopt;
    }

    // Counted as laid out: a run of blanks is one byte, unless the element lays them out.
    void text(std::string_view characters) {
        const bool blanks = std::all_of(characters.begin(), characters.end(), isBlank);
        framesetOk_ = framesetOk_ && blanks;
        const Place place = placeFor(!blanks);
        if (place.parent != nullptr && place.parent->hidden) return;
        std::string& out = pieces_[place.piece];
        const bool keepsBlanks = place.parent != nullptr && place.parent->keepsBlanks;
        for (const char c : characters) {
            if (textBytes_ > maxPageText) return;  // refused: no need to read on
            const bool blank = isBlank(c);
            textBytes_ += blank && !keepsBlanks && lastWasBlank_ ? 0 : 1;
            lastWasBlank_ = blank;
            if (c == '&') {
                out += "&amp;";
            } else if (c == '<') {
                out += "&lt;";
            } else if (c == '>') {
                out += "&gt;";
            } else if (c == '\f') {
                out += ' ';
            } else if (c == '\r') {
                out += '\n';  // only "&#13;" leaves one: a line break where those are laid out
            } else if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n') {
                out += c;  // other controls show nothing
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
        const std::string_view name = laidOutElement(tag.name);
        const bool repeatedRoot = (name == "html" || name == "body") &&
                                  std::any_of(open_.begin(), open_.end(),
                                              [&](const auto& e) { return e.laidOut == name; });
        if (repeatedRoot || !closeForTablePart(name)) return;
        closeImpliedBy(name);
        const Place place = placeFor(!isAmong(tableParts, name));
        const std::string* style = attributeValue(tag, "style");
        const bool hides = (place.parent != nullptr && place.parent->hidden) ||
                           tag.name == "template" || attributeValue(tag, "hidden") != nullptr ||
                           (style != nullptr && hidesElement(*style));
        if (name.empty() && (!hides || isVoidElement(tag.name))) return;
        // Put before a table that stands in a paragraph or list item it would end (a <p> or <li>
        // in the table outside its cells), an element is not written, its content is, on a line
        // of its own: the page written reads back as it was written. (Only while a table is open
        // does the page written differ from the open elements.)
        const bool unwrapped = pieces_.size() > 1 && endsAround(name, place);
        const std::string* source = attributeValue(tag, "src");
        const std::string_view imageSource = source != nullptr ? trimmed(*source) : "";
        if (name == "img" && (hides || images_.size() >= maxPageImages || imageSource.empty())) {
            return;  // a picture not shown, or one that names nothing, is not asked for
        }
        if (++elements_ > maxPageElements) {
            refused_ = true;
            return;
        }
        if (name == "table") pieces_.resize(pieces_.size() + 2);  // what comes before it, and it
        const std::size_t contentIn = name == "table" ? pieces_.size() - 1 : place.piece;
        if (!hides) {
            if (unwrapped) {
                pieces_[contentIn] += "<br>";
            } else {
                writeStartTag(pieces_[contentIn], name, tag, imageSource);
            }
            if (place.parent != nullptr) place.parent->holdsElements = true;
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
        const bool inheritsBlanks = place.parent != nullptr && place.parent->keepsBlanks;
        const bool keepsBlanks = (style != nullptr ? platform::keepsBlanks(*style) : std::nullopt)
                                     .value_or(inheritsBlanks || name == "pre");
        open_.push_back({tag.name, name, hides, keepsBlanks, unwrapped, place.piece, contentIn,
                         depthIn(place, !unwrapped), parentEnd(place)});
    }

    // The band paints neither SVG nor MathML: their elements are read, to end where browsers
    // end them, and dropped with all they hold, as a picture the band cannot draw.
    void openForeign(const Token& tag, Namespace space) {
        if (++elements_ > maxPageElements || open_.size() >= maxPageDepth) {
            refused_ = true;
            return;
        }
        if (tag.selfClosing) return;
        const Place place = placeFor(true);
        open_.push_back({tag.name,
                         {},
                         true,
                         false,
                         false,
                         place.piece,
                         place.piece,
                         depthIn(place, false),
                         parentEnd(place),
                         space,
                         htmlInside(space, tag)});
    }

    void writeStartTag(std::string& out, std::string_view name, const Token& tag,
                       std::string_view imageSource) {
        out += '<';
        out += name;
        PageImage image;
        if (name == "img") {
            image.source = imageSource;
            writeAttribute(out, "src", pageImageName(images_.size()));
        }
        for (const Attribute& attribute : tag.attributes) {
            const std::optional<std::string> value =
                keptAttribute(name, attribute.name, attribute.value);
            if (!value) continue;
            writeAttribute(out, attribute.name, *value);
            if (attribute.name == "width") image.width = pixels(*value);
            if (attribute.name == "height") image.height = pixels(*value);
        }
        out += '>';
        if (name == "img") images_.push_back(std::move(image));
    }

    static void writeAttribute(std::string& out, std::string_view name, std::string_view value) {
        out += ' ';
        out += name;
        out += "=\"";
        appendEscaped(out, value);
        out += '"';
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
        const bool tablePart = isAmong(tableParts, written);
        for (std::size_t i = open_.size(); i-- > 0;) {
            const OpenElement& element = open_[i];
            if (element.space == Namespace::Html && element.written == written) {
                closeDownTo(i);
                return;
            }
            const bool outOfReach =
                tablePart ? element.laidOut == "table" : isAmong(tableScope, element.laidOut);
            if (outOfReach || fences(element)) return;
        }
    }

    // A caption, section, row or cell starts only in a table, and after what the page left open
    // there outside its cells (and so shown before it); a table started there ends that table
    // first. False when the tag is not read at all.
    bool closeForTablePart(std::string_view name) {
        if (!isAmong(tableParts, name)) return true;
        const std::optional<std::size_t> part = innermostTablePart();
        if (name != "table") {
            if (part) closeDownTo(*part + 1);
            return part.has_value();
        }
        if (!part || !isAmong(tableStructure, open_[*part].laidOut)) return true;
        for (std::size_t i = *part + 1; i-- > 0;) {
            if (open_[i].laidOut == "table") {
                closeDownTo(i);
                break;
            }
        }
        return true;
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

    // Whether a start tag of this name would end an element around the place, as the page
    // written is read again: around what stands before a table, the table's parent and the
    // elements around it.
    bool endsAround(std::string_view name, const Place& place) const {
        for (const ImpliedEnd& rule : impliedEnds()) {
            if (!isAmong(rule.startedBy, name)) continue;
            for (std::size_t end = parentEnd(place); end > 0; end = open_[end - 1].parentEnd) {
                const OpenElement& element = open_[end - 1];
                if (element.unwrapped) continue;
                if (isAmong(rule.ends, element.laidOut)) return true;
                if (isAmong(rule.scope, element.laidOut) || fences(element)) break;
            }
        }
        return false;
    }

    void closeDownTo(std::size_t depth) {
        while (open_.size() > depth) close();
    }

    // Qt ends a div's line only when it holds an element: an empty span gives it one, so that
    // text after the div starts a line of its own, as in browsers (where nesting leaves room).
    // A table goes where it stands after what the page put before it.
    void close() {
        const OpenElement& element = open_.back();
        std::string& out = pieces_[element.contentIn];
        const bool written = !element.hidden && !element.unwrapped && !element.laidOut.empty();
        if (written && element.laidOut == "div" && !element.holdsElements &&
            element.depth < maxPageDepth) {
            out += "<span></span>";
        }
        if (written) {
            out += "</";
            out += element.laidOut;
            out += '>';
        }
        if (element.laidOut == "table") {
            pieces_[element.standsIn] += pieces_[element.contentIn - 1];
            pieces_[element.standsIn] += out;
            pieces_.resize(element.contentIn - 1);
        }
        open_.pop_back();
    }

    // A picture put in a table outside its cells stands before pictures met earlier in it: the
    // pictures are numbered in the order they stand in the page, as the page is read again.
    // Every '<' in the page written is a tag's, and an img's starts with its src.
    void numberImagesInPageOrder() {
        constexpr std::string_view imageStart = "<img src=\"";
        const std::string& written = pieces_.front();
        std::string html;
        std::vector<PageImage> images;
        std::size_t copied = 0;
        for (std::size_t at = written.find(imageStart); at != std::string::npos;
             at = written.find(imageStart, at + 1)) {
            const std::size_t number = at + imageStart.size() + imageNamePrefix.size();
            const std::size_t end = written.find('"', number);
            std::size_t met = 0;
            std::from_chars(written.data() + number, written.data() + end, met);
            html.append(written, copied, number - copied);
            html += std::to_string(images.size());
            copied = end;
            images.push_back(std::move(images_[met]));
        }
        html.append(written, copied);
        pieces_.front() = std::move(html);
        images_ = std::move(images);
    }

    HtmlTokenizer tokens_;
    // The page written so far: its first piece, and for each open table the piece of what
    // browsers show before it (text and elements the page put in it outside its cells) and the
    // piece of the table itself, joined to the piece the table stands in when it ends.
    std::vector<std::string> pieces_ = std::vector<std::string>(1);
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
    return std::string(imageNamePrefix) + std::to_string(index);
}

SanitizedPage sanitizePage(std::string_view html) {
    return Sanitizer(html).run();
}

}  // namespace zeravan::platform
