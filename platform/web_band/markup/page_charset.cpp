// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "platform/page_charset.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ascii_text.h"

namespace zeravan::platform {

namespace {

using namespace ascii;

// Where a <meta> declaration may stand: pages put it first in their head.
constexpr std::size_t metaScanBytes = 4096;

// Every label browsers know, by the encoding they read it as: "gb2312" is read as GBK,
// "iso-8859-1" and "us-ascii" as windows-1252.
constexpr std::array<std::pair<std::string_view, std::string_view>, 40> encodingLabels = {{
    {"UTF-8", "unicode-1-1-utf-8 unicode11utf8 unicode20utf8 utf-8 utf8 x-unicode20utf8"},
    {"IBM866", "866 cp866 csibm866 ibm866"},
    {"ISO-8859-2",
     "csisolatin2 iso-8859-2 iso-ir-101 iso8859-2 iso88592 iso_8859-2 iso_8859-2:1987 l2 latin2"},
    {"ISO-8859-3",
     "csisolatin3 iso-8859-3 iso-ir-109 iso8859-3 iso88593 iso_8859-3 iso_8859-3:1988 l3 latin3"},
    {"ISO-8859-4",
     "csisolatin4 iso-8859-4 iso-ir-110 iso8859-4 iso88594 iso_8859-4 iso_8859-4:1988 l4 latin4"},
    {"ISO-8859-5",
     "csisolatincyrillic cyrillic iso-8859-5 iso-ir-144 iso8859-5 iso88595 iso_8859-5 "
     "iso_8859-5:1988"},
    {"ISO-8859-6",
     "arabic asmo-708 csiso88596e csiso88596i csisolatinarabic ecma-114 iso-8859-6 iso-8859-6-e "
     "iso-8859-6-i iso-ir-127 iso8859-6 iso88596 iso_8859-6 iso_8859-6:1987"},
    {"ISO-8859-7",
     "csisolatingreek ecma-118 elot_928 greek greek8 iso-8859-7 iso-ir-126 iso8859-7 iso88597 "
     "iso_8859-7 iso_8859-7:1987 sun_eu_greek"},
    {"ISO-8859-8",
     "csiso88598e csisolatinhebrew hebrew iso-8859-8 iso-8859-8-e iso-ir-138 iso8859-8 "
     "iso88598 iso_8859-8 iso_8859-8:1988 visual"},
    {"ISO-8859-8-I", "csiso88598i iso-8859-8-i logical"},
    {"ISO-8859-10", "csisolatin6 iso-8859-10 iso-ir-157 iso8859-10 iso885910 l6 latin6"},
    {"ISO-8859-13", "iso-8859-13 iso8859-13 iso885913"},
    {"ISO-8859-14", "iso-8859-14 iso8859-14 iso885914"},
    {"ISO-8859-15", "csisolatin9 iso-8859-15 iso8859-15 iso885915 iso_8859-15 l9"},
    {"ISO-8859-16", "iso-8859-16"},
    {"KOI8-R", "cskoi8r koi koi8 koi8-r koi8_r"},
    {"KOI8-U", "koi8-ru koi8-u"},
    {"macintosh", "csmacintosh mac macintosh x-mac-roman"},
    {"windows-874", "dos-874 iso-8859-11 iso8859-11 iso885911 tis-620 windows-874"},
    {"windows-1250", "cp1250 windows-1250 x-cp1250"},
    {"windows-1251", "cp1251 windows-1251 x-cp1251"},
    {"windows-1252",
     "ansi_x3.4-1968 ascii cp1252 cp819 csisolatin1 ibm819 iso-8859-1 iso-ir-100 iso8859-1 "
     "iso88591 iso_8859-1 iso_8859-1:1987 l1 latin1 us-ascii windows-1252 x-cp1252"},
    {"windows-1253", "cp1253 windows-1253 x-cp1253"},
    {"windows-1254",
     "cp1254 csisolatin5 iso-8859-9 iso-ir-148 iso8859-9 iso88599 iso_8859-9 iso_8859-9:1989 l5 "
     "latin5 windows-1254 x-cp1254"},
    {"windows-1255", "cp1255 windows-1255 x-cp1255"},
    {"windows-1256", "cp1256 windows-1256 x-cp1256"},
    {"windows-1257", "cp1257 windows-1257 x-cp1257"},
    {"windows-1258", "cp1258 windows-1258 x-cp1258"},
    {"x-mac-cyrillic", "x-mac-cyrillic x-mac-ukrainian"},
    {"GBK", "chinese csgb2312 csiso58gb231280 gb2312 gb_2312 gb_2312-80 gbk iso-ir-58 x-gbk"},
    {"gb18030", "gb18030"},
    {"Big5", "big5 big5-hkscs cn-big5 csbig5 x-x-big5"},
    {"EUC-JP", "cseucpkdfmtjapanese euc-jp x-euc-jp"},
    {"ISO-2022-JP", "csiso2022jp iso-2022-jp"},
    {"Shift_JIS", "csshiftjis ms932 ms_kanji shift-jis shift_jis sjis windows-31j x-sjis"},
    {"EUC-KR",
     "cseuckr csksc56011987 euc-kr iso-ir-149 korean ks_c_5601-1987 ks_c_5601-1989 ksc5601 "
     "ksc_5601 windows-949"},
    {"replacement", "csiso2022kr hz-gb-2312 iso-2022-cn iso-2022-cn-ext iso-2022-kr replacement"},
    {"UTF-16BE", "unicodefffe utf-16be"},
    {"UTF-16LE", "csunicode iso-10646-ucs-2 ucs-2 unicode unicodefeff utf-16 utf-16le"},
    {"x-user-defined", "x-user-defined"},
}};

// The encoding a label names, or nothing for a label no browser knows.
std::optional<std::string_view> encodingOf(std::string_view label) {
    const std::string name = lowered(trimmed(label));
    if (name.empty() || name.find(' ') != std::string::npos) return std::nullopt;
    for (const auto& [encoding, labels] : encodingLabels) {
        for (std::size_t start = 0; start < labels.size();) {
            const std::size_t end = std::min(labels.find(' ', start), labels.size());
            if (labels.substr(start, end - start) == name) return encoding;
            start = end + 1;
        }
    }
    return std::nullopt;
}

std::optional<std::string_view> byteOrderMark(std::string_view body) {
    if (body.starts_with("\xEF\xBB\xBF")) return "UTF-8";
    if (body.starts_with("\xFE\xFF")) return "UTF-16BE";
    if (body.starts_with("\xFF\xFE")) return "UTF-16LE";
    return std::nullopt;
}

// The charset parameter of a Content-Type header, the first one, quoted or not.
std::optional<std::string_view> headerCharset(std::string_view contentType) {
    std::size_t start = contentType.find(';');
    while (start != std::string_view::npos) {
        const std::size_t end = contentType.find(';', start + 1);
        const std::string_view parameter = trimmed(
            contentType.substr(start + 1, end == std::string_view::npos ? end : end - start - 1));
        start = end;
        const std::size_t equals = parameter.find('=');
        if (equals == std::string_view::npos ||
            lowered(trimmed(parameter.substr(0, equals))) != "charset") {
            continue;
        }
        std::string_view value = trimmed(parameter.substr(equals + 1));
        if (value.starts_with('"')) value = value.substr(1, value.find('"', 1) - 1);
        return encodingOf(value);
    }
    return std::nullopt;
}

// The encoding a <meta content="text/html; charset=…"> names.
std::optional<std::string_view> contentCharset(std::string_view content) {
    const std::string text = lowered(content);
    for (std::size_t at = text.find("charset"); at != std::string::npos;
         at = text.find("charset", at)) {
        at += 7;
        while (at < text.size() && isBlank(text[at])) ++at;
        if (at >= text.size() || text[at] != '=') continue;
        ++at;
        while (at < text.size() && isBlank(text[at])) ++at;
        if (at >= text.size()) return std::nullopt;
        if (text[at] == '"' || text[at] == '\'') {
            const std::size_t close = text.find(text[at], at + 1);
            if (close == std::string::npos) return std::nullopt;
            return encodingOf(content.substr(at + 1, close - at - 1));
        }
        std::size_t end = at;
        while (end < text.size() && !isBlank(text[end]) && text[end] != ';') ++end;
        return encodingOf(content.substr(at, end - at));
    }
    return std::nullopt;
}

// Browsers' prescan of a page's first bytes for a <meta> naming its encoding: comments, other
// tags and their attribute values are stepped over, not read.
class MetaPrescan {
public:
    explicit MetaPrescan(std::string_view head) : in_(head) {}

    // From one '<' to the next: a page's text, "Welcome" or "Hi!", is no markup.
    std::optional<std::string_view> run() {
        for (pos_ = in_.find('<'); pos_ < in_.size(); pos_ = in_.find('<', pos_ + 1)) {
            const std::string_view rest = in_.substr(pos_);
            if (rest.starts_with("<!--")) {
                const std::size_t end = in_.find("-->", pos_ + 2);
                if (end == std::string_view::npos) return std::nullopt;
                pos_ = end + 2;
            } else if (rest.size() > 5 && lowered(rest.substr(0, 5)) == "<meta" &&
                       (isBlank(rest[5]) || rest[5] == '/')) {
                pos_ += 5;
                if (const auto found = meta()) return found;
            } else if (rest.size() > 2 &&
                       (isLetter(rest[1]) || (rest[1] == '/' && isLetter(rest[2])))) {
                while (pos_ < in_.size() && !isBlank(in_[pos_]) && in_[pos_] != '>') ++pos_;
                while (attribute()) {
                }
            } else if (rest.size() > 1 && (rest[1] == '!' || rest[1] == '/' || rest[1] == '?')) {
                pos_ = in_.find('>', pos_);
                if (pos_ == std::string_view::npos) return std::nullopt;
            }
        }
        return std::nullopt;
    }

private:
    std::optional<std::string_view> meta() {
        std::vector<std::string> seen;
        bool gotPragma = false;
        std::optional<bool> needPragma;
        std::optional<std::optional<std::string_view>> charset;  // outer: named at all
        while (const auto found = attribute()) {
            const auto& [name, value] = *found;
            if (std::find(seen.begin(), seen.end(), name) != seen.end()) continue;
            seen.push_back(name);
            if (name == "http-equiv" && value == "content-type") gotPragma = true;
            if (name == "content" && !charset) {
                if (const auto named = contentCharset(value)) {
                    charset = named;
                    needPragma = true;
                }
            }
            if (name == "charset") {
                charset = encodingOf(value);
                needPragma = false;
            }
        }
        if (!needPragma || (*needPragma && !gotPragma) || !charset || !*charset) {
            return std::nullopt;
        }
        const std::string_view encoding = **charset;
        if (encoding == "UTF-16BE" || encoding == "UTF-16LE") return "UTF-8";
        if (encoding == "x-user-defined") return "windows-1252";
        return encoding;
    }

    // The next attribute's name and value, in lower case; nothing at the tag's '>' or the end.
    std::optional<std::pair<std::string, std::string>> attribute() {
        while (pos_ < in_.size() && (isBlank(in_[pos_]) || in_[pos_] == '/')) ++pos_;
        if (pos_ >= in_.size() || in_[pos_] == '>') return std::nullopt;
        std::string name;
        std::string value;
        for (; pos_ < in_.size(); ++pos_) {
            const char c = in_[pos_];
            if (c == '=' && !name.empty()) break;
            if (isBlank(c)) {
                while (pos_ < in_.size() && isBlank(in_[pos_])) ++pos_;
                if (pos_ >= in_.size()) return std::nullopt;
                if (in_[pos_] != '=') return std::pair(name, value);
                break;
            }
            if (c == '/' || c == '>') return std::pair(name, value);
            name += lower(c);
        }
        if (pos_ >= in_.size()) return std::nullopt;
        ++pos_;  // '='
        while (pos_ < in_.size() && isBlank(in_[pos_])) ++pos_;
        if (pos_ >= in_.size()) return std::nullopt;
        if (in_[pos_] == '"' || in_[pos_] == '\'') {
            const char quote = in_[pos_];
            const std::size_t close = in_.find(quote, pos_ + 1);
            if (close == std::string_view::npos) return std::nullopt;
            value = lowered(in_.substr(pos_ + 1, close - pos_ - 1));
            pos_ = close + 1;
            return std::pair(name, value);
        }
        if (in_[pos_] == '>') return std::pair(name, value);
        while (pos_ < in_.size() && !isBlank(in_[pos_]) && in_[pos_] != '>')
            value += lower(in_[pos_++]);
        if (pos_ >= in_.size()) return std::nullopt;
        return std::pair(name, value);
    }

    std::string_view in_;
    std::size_t pos_ = 0;
};

}  // namespace

std::string pageCharset(std::string_view contentType, std::string_view body) {
    for (const auto& found : {byteOrderMark(body), headerCharset(contentType),
                              MetaPrescan(body.substr(0, metaScanBytes)).run()}) {
        if (found) return std::string(*found);
    }
    return "UTF-8";
}

}  // namespace zeravan::platform
