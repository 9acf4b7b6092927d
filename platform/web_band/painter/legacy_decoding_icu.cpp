// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include <QStringDecoder>
#include <array>
#include <string>
#include <utility>

#include "legacy_decoding.h"

namespace zeravan::platform {

namespace {

// ICU's converters for the four names browsers read otherwise than ICU's own of that name: GBK
// as gb18030, EUC-KR as Windows' 949, Shift_JIS as Windows' 932, and ISO-8859-8-I (Hebrew in
// logical order: the same letters) as ISO-8859-8.
constexpr std::array<std::pair<std::string_view, const char*>, 4> icuNames = {{
    {"GBK", "GB18030"},
    {"EUC-KR", "windows-949"},
    {"Shift_JIS", "windows-31j"},
    {"ISO-8859-8-I", "ISO-8859-8"},
}};

}  // namespace

std::optional<QString> legacyDecoded(std::string_view encoding, const QByteArray& bytes) {
    std::string name(encoding);
    for (const auto& [browsers, icu] : icuNames) {
        if (browsers == encoding) name = icu;
    }
    QStringDecoder decoder(name.c_str());
    if (!decoder.isValid()) return std::nullopt;
    return decoder.decode(bytes);
}

}  // namespace zeravan::platform
