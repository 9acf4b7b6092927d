// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include <windows.h>

#include <array>
#include <utility>

#include "legacy_decoding.h"

namespace zeravan::platform {

namespace {

// The Windows code page of each encoding browsers know that Windows has one for.
constexpr std::array<std::pair<std::string_view, UINT>, 32> codePages = {{
    {"IBM866", 866},           {"ISO-8859-2", 28592},
    {"ISO-8859-3", 28593},     {"ISO-8859-4", 28594},
    {"ISO-8859-5", 28595},     {"ISO-8859-6", 28596},
    {"ISO-8859-7", 28597},     {"ISO-8859-8", 28598},
    {"ISO-8859-8-I", 38598},   {"ISO-8859-13", 28603},
    {"ISO-8859-15", 28605},    {"KOI8-R", 20866},
    {"KOI8-U", 21866},         {"macintosh", 10000},
    {"windows-874", 874},      {"windows-1250", 1250},
    {"windows-1251", 1251},    {"windows-1252", 1252},
    {"windows-1253", 1253},    {"windows-1254", 1254},
    {"windows-1255", 1255},    {"windows-1256", 1256},
    {"windows-1257", 1257},    {"windows-1258", 1258},
    {"x-mac-cyrillic", 10017}, {"GBK", 936},
    {"gb18030", 54936},        {"Big5", 950},
    {"EUC-JP", 20932},         {"ISO-2022-JP", 50220},
    {"Shift_JIS", 932},        {"EUC-KR", 949},
}};

}  // namespace

std::optional<QString> legacyDecoded(std::string_view encoding, const QByteArray& bytes) {
    UINT codePage = 0;
    for (const auto& [name, page] : codePages) {
        if (name == encoding) codePage = page;
    }
    const int size = static_cast<int>(bytes.size());
    if (codePage == 0) return std::nullopt;
    const int length = MultiByteToWideChar(codePage, 0, bytes.constData(), size, nullptr, 0);
    if (length <= 0) return std::nullopt;
    QString text(length, Qt::Uninitialized);
    MultiByteToWideChar(codePage, 0, bytes.constData(), size,
                        reinterpret_cast<wchar_t*>(text.data()), length);
    return text;
}

}  // namespace zeravan::platform
