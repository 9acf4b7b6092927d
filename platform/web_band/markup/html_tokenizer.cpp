// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "html_tokenizer.h"

#include <algorithm>

#include "ascii_text.h"
#include "character_references.h"

namespace zeravan::platform::markup {

namespace {

using namespace ascii;

constexpr std::size_t maxAttributes = 32;  // on one tag; more are read and dropped
// Text comes in pieces of about this size, so that a page over its text budget is refused
// before the rest of its text is read.
constexpr std::size_t textPiece = 8192;
constexpr std::string_view replacementCharacter = "\xEF\xBF\xBD";
constexpr std::string_view specialInText("<&\0", 3);
constexpr std::string_view specialInContent("<&-\0>", 5);

// Browsers read CR LF and a lone CR as LF before anything else.
std::string withLineFeeds(std::string_view html) {
    std::string text;
    text.reserve(html.size());
    for (std::size_t i = 0; i < html.size(); ++i) {
        if (html[i] != '\r') {
            text += html[i];
        } else if (i + 1 == html.size() || html[i + 1] != '\n') {
            text += '\n';
        }
    }
    return text;
}

void appendCharacter(std::string& out, char c) {
    if (c == '\0') {
        out += replacementCharacter;
    } else {
        out += c;
    }
}

void appendNameCharacter(std::string& name, char c) {
    appendCharacter(name, lower(c));
}

Token textToken() {
    Token token;
    token.kind = Token::Kind::Text;
    return token;
}

bool endsTagName(char c) {
    return isBlank(c) || c == '/' || c == '>';
}

}  // namespace

HtmlTokenizer::HtmlTokenizer(std::string_view html) : in_(html) {
    if (html.find('\r') != std::string_view::npos) {
        normalized_ = withLineFeeds(html);
        in_ = normalized_;
    }
}

Token HtmlTokenizer::next() {
    while (!atEnd()) {
        if (model_ != TextModel::Markup) {
            Token text = content();
            if (!text.text.empty()) return text;
            continue;
        }
        Token token = textToken();
        while (!atEnd() && token.text.size() < textPiece) {
            const char c = in_[pos_];
            if (c == '<') {
                if (!token.text.empty() || tagOpen(token)) return token;
            } else if (c == '&') {
                const std::size_t length = appendReference(token.text, in_.substr(pos_), false);
                if (length == 0) token.text += '&';
                pos_ += std::max<std::size_t>(length, 1);
            } else if (c == '\0') {
                ++pos_;  // dropped from a page's text, as browsers drop it
            } else {
                const std::string_view piece = in_.substr(pos_, textPiece);
                const std::size_t end = std::min(piece.find_first_of(specialInText), piece.size());
                token.text.append(piece.substr(0, end));
                pos_ += end;
            }
        }
        if (!token.text.empty()) return token;
    }
    return {};
}

// At a '<' in markup: true with a tag read; false when it was text (appended), a comment or a
// declaration (skipped), or a tag the page ends inside (dropped).
bool HtmlTokenizer::tagOpen(Token& token) {
    const std::string_view rest = in_.substr(pos_);
    const char next = rest.size() > 1 ? rest[1] : '\0';
    if (rest.size() > 1 && isLetter(next)) {
        ++pos_;
        return readTag(token, Token::Kind::StartTag);
    }
    if (next == '!') {
        pos_ += 2;
        if (rest.substr(2).starts_with("--")) {
            pos_ += 2;
            skipComment();
        } else if (cdataIsText_ && rest.substr(2).starts_with("[CDATA[")) {
            pos_ += 7;
            readCdata(token.text);
        } else {
            skipPast('>');  // a doctype, CDATA outside foreign content, or bogus
        }
    } else if (next == '/' && rest.size() > 2 && isLetter(rest[2])) {
        pos_ += 2;
        return readTag(token, Token::Kind::EndTag);
    } else if (next == '/' && rest.size() == 2) {
        token.text += "</";
        pos_ += 2;
    } else if (next == '/' && rest[2] == '>') {
        pos_ += 3;  // "</>" is nothing at all
    } else if (next == '/' || next == '?') {
        pos_ += 2;
        skipPast('>');  // bogus, as a comment
    } else {
        token.text += '<';
        ++pos_;
    }
    return false;
}

bool HtmlTokenizer::readTag(Token& token, Token::Kind kind) {
    token.kind = kind;
    while (!atEnd() && !endsTagName(in_[pos_])) appendNameCharacter(token.name, in_[pos_++]);
    if (!readAttributes(token)) {
        token = textToken();
        return false;
    }
    if (kind == Token::Kind::StartTag) {
        lastStartTag_ = token.name;
    } else {
        token.attributes.clear();
    }
    return true;
}

// Up to and past the tag's '>'; false when the page ends first.
bool HtmlTokenizer::readAttributes(Token& token) {
    while (true) {
        while (!atEnd() && isBlank(in_[pos_])) ++pos_;
        if (atEnd()) return false;
        if (in_[pos_] == '>') {
            ++pos_;
            return true;
        }
        if (in_[pos_] == '/') {
            ++pos_;
            token.selfClosing = !atEnd() && in_[pos_] == '>';
            continue;
        }
        Attribute attribute;
        appendNameCharacter(attribute.name, in_[pos_++]);  // even '='
        while (!atEnd() && !endsTagName(in_[pos_]) && in_[pos_] != '=') {
            appendNameCharacter(attribute.name, in_[pos_++]);
        }
        while (!atEnd() && isBlank(in_[pos_])) ++pos_;
        if (!atEnd() && in_[pos_] == '=') {
            ++pos_;
            if (!readAttributeValue(attribute.value)) return false;
        }
        auto& found = token.attributes;
        const bool repeated = std::any_of(found.begin(), found.end(), [&](const Attribute& a) {
            return a.name == attribute.name;
        });
        if (!repeated && found.size() < maxAttributes) found.push_back(std::move(attribute));
    }
}

bool HtmlTokenizer::readAttributeValue(std::string& value) {
    while (!atEnd() && isBlank(in_[pos_])) ++pos_;
    if (atEnd()) return false;
    const char quote = in_[pos_] == '"' || in_[pos_] == '\'' ? in_[pos_] : '\0';
    if (quote != '\0') ++pos_;
    const auto endsValue = [&](char c) {
        return quote != '\0' ? c == quote : isBlank(c) || c == '>';
    };
    while (!atEnd() && !endsValue(in_[pos_])) {
        const std::size_t length =
            in_[pos_] == '&' ? appendReference(value, in_.substr(pos_), true) : 0;
        if (length == 0) appendCharacter(value, in_[pos_]);
        pos_ += std::max<std::size_t>(length, 1);
    }
    if (atEnd()) return false;
    if (quote != '\0') ++pos_;
    return true;
}

// After "<!--": to the '>' of "-->" or "--!>"; "<!-->" and "<!--->" end at once.
void HtmlTokenizer::skipComment() {
    enum class State { Start, StartDash, Text, EndDash, End, EndBang } state = State::Start;
    while (!atEnd()) {
        const char c = in_[pos_++];
        const bool ends = c == '>' && (state == State::Start || state == State::StartDash ||
                                       state == State::End || state == State::EndBang);
        if (ends) return;
        switch (state) {
            case State::Start:
                state = c == '-' ? State::StartDash : State::Text;
                break;
            case State::StartDash:
            case State::EndDash:
                state = c == '-' ? State::End : State::Text;
                break;
            case State::Text:
                state = c == '-' ? State::EndDash : State::Text;
                break;
            case State::End:
                state = c == '!' ? State::EndBang : c == '-' ? State::End : State::Text;
                break;
            case State::EndBang:
                state = c == '-' ? State::EndDash : State::Text;
                break;
        }
    }
}

// After "<![CDATA[": its characters as they are, up to "]]>" or the end of the page.
void HtmlTokenizer::readCdata(std::string& text) {
    const std::size_t end = std::min(in_.find("]]>", pos_), in_.size());
    text.append(in_.substr(pos_, end - pos_));
    pos_ = std::min(end + 3, in_.size());
}

void HtmlTokenizer::skipPast(char c) {
    const std::size_t at = in_.find(c, pos_);
    pos_ = at == std::string_view::npos ? in_.size() : at + 1;
}

// Text of an element read as text, up to its end tag (left for next()) or the end of the page.
Token HtmlTokenizer::content() {
    Token token = textToken();
    std::string& text = token.text;
    while (!atEnd() && text.size() < textPiece) {
        const char c = in_[pos_];
        const bool endTagReadable =
            model_ != TextModel::Plaintext &&
            (model_ != TextModel::ScriptData || script_ != Script::DoubleEscaped);
        if (c == '<' && endTagReadable && endTagOfLastStartAt(pos_)) {
            model_ = TextModel::Markup;
            script_ = Script::Data;
            break;
        }
        const bool script = model_ == TextModel::ScriptData;
        if (script && (c == '<' || c == '-' || c == '>')) {
            scriptCharacter(text);
            continue;
        }
        const std::size_t length = c == '&' && model_ == TextModel::Rcdata
                                       ? appendReference(text, in_.substr(pos_), false)
                                       : 0;
        if (length > 0 || c == '\0') {
            if (length == 0) appendCharacter(text, c);
            pos_ += std::max<std::size_t>(length, 1);
            continue;
        }
        // Up to the next character that may matter (no NUL among them).
        const std::string_view piece = in_.substr(pos_, textPiece);
        const std::size_t end = std::min(piece.find_first_of(specialInContent, 1), piece.size());
        text.append(piece.substr(0, end));
        pos_ += end;
        if (script) scriptDashes_ = 0;
    }
    return token;
}

// One step through a script's text: "<!--" escapes it, "<script" inside that escapes it twice,
// "</script" then goes back to once, and "-->" ends the escape.
void HtmlTokenizer::scriptCharacter(std::string& text) {
    const std::string_view rest = in_.substr(pos_);
    std::size_t length = 1;
    if (script_ == Script::Data) {
        if (rest.starts_with("<!--")) {
            script_ = Script::Escaped;
            scriptDashes_ = 2;
            length = 4;
        }
    } else {
        if (rest[0] == '>' && scriptDashes_ == 2) {
            script_ = Script::Data;
        } else if (script_ == Script::Escaped && rest[0] == '<' && scriptTagAt(pos_ + 1)) {
            script_ = Script::DoubleEscaped;
            length = 8;  // "<script" and the character after it
        } else if (script_ == Script::DoubleEscaped && rest.starts_with("</") &&
                   scriptTagAt(pos_ + 2)) {
            script_ = Script::Escaped;
            length = 9;
        }
        scriptDashes_ = rest[0] == '-' ? std::min(scriptDashes_ + 1, 2) : 0;
    }
    for (std::size_t i = 0; i < length; ++i) appendCharacter(text, rest[i]);
    pos_ += length;
}

// "</" and the name of the last start tag, then a blank, '/' or '>'.
bool HtmlTokenizer::endTagOfLastStartAt(std::size_t at) const {
    const std::string_view rest = in_.substr(at);
    const std::size_t length = lastStartTag_.size();
    if (rest.size() < length + 3 || rest[1] != '/') return false;
    for (std::size_t i = 0; i < length; ++i) {
        if (lower(rest[2 + i]) != lastStartTag_[i]) return false;
    }
    return endsTagName(rest[2 + length]);
}

// "script" in any case, then a blank, '/' or '>'.
bool HtmlTokenizer::scriptTagAt(std::size_t at) const {
    constexpr std::string_view script = "script";
    if (in_.size() < at + script.size() + 1) return false;
    return lowered(in_.substr(at, script.size())) == script && endsTagName(in_[at + script.size()]);
}

}  // namespace zeravan::platform::markup
