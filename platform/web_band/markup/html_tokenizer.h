// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// HTML's tokenizer: a page split into text and tags as browsers split it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zeravan::platform::markup {

// How an element's content is read: browsers switch their tokenizer so after its start tag.
enum class TextModel {
    Markup,      // tags, comments and character references
    Rcdata,      // text and character references up to the element's end tag (title, textarea)
    Rawtext,     // text up to the element's end tag (style, xmp, iframe …)
    ScriptData,  // as Rawtext, but "<!--" and an inner "<script>" hide a "</script>" (script)
    Plaintext,   // text to the end of the page (plaintext)
};

struct Attribute {
    std::string name;
    std::string value;  // references decoded
};

struct Token {
    enum class Kind { Text, StartTag, EndTag, End };
    Kind kind = Kind::End;
    std::string name;                   // a tag's, in lower case
    std::vector<Attribute> attributes;  // a start tag's: the first of each name, at most 32
    std::string text;                   // Text's characters, references decoded
    bool selfClosing = false;           // a start tag's "/>": ends an SVG or MathML element
};

// Splits a page into text and tags as HTML's tokenizer does: comments end where browsers end
// them ("-->", "--!>", "<!-->"), declarations and processing instructions leave nothing, a tag
// still open at the end of the page is no tag, and the content of the elements read as text
// ends only at an end tag of the very same name.
class HtmlTokenizer {
public:
    explicit HtmlTokenizer(std::string_view html);
    HtmlTokenizer(const HtmlTokenizer&) = delete;
    HtmlTokenizer& operator=(const HtmlTokenizer&) = delete;

    // The next token; End for ever once the page is read.
    Token next();
    // The content of the element whose start tag came last is read in this model.
    void readContentAs(TextModel model) { model_ = model; }
    // Inside SVG or MathML "<![CDATA[…]]>" holds text; elsewhere it is a bogus comment.
    void readCdataAsText(bool inForeignContent) { cdataIsText_ = inForeignContent; }

private:
    bool atEnd() const { return pos_ >= in_.size(); }
    bool tagOpen(Token& token);
    bool readTag(Token& token, Token::Kind kind);
    bool readAttributes(Token& token);
    bool readAttributeValue(std::string& value);
    void skipComment();
    void readCdata(std::string& text);
    void skipPast(char c);
    Token content();
    void scriptCharacter(std::string& text);
    bool endTagOfLastStartAt(std::size_t at) const;
    bool scriptTagAt(std::size_t at) const;

    std::string normalized_;  // the page with its line breaks as LF, when it had others
    std::string_view in_;
    std::size_t pos_ = 0;
    TextModel model_ = TextModel::Markup;
    std::string lastStartTag_;
    bool cdataIsText_ = false;
    enum class Script { Data, Escaped, DoubleEscaped } script_ = Script::Data;
    int scriptDashes_ = 0;  // '-' in a row in the script's escaped content, up to 2
};

}  // namespace zeravan::platform::markup
