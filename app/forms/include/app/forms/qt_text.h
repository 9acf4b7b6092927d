// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// Conversions between the engine's UTF-8 texts and the controls' QStrings.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace zeravan::forms {

// The engine works in UTF-8; the controls hold QStrings.
inline QString q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
inline std::string u8(const QString& text) {
    return text.toStdString();
}

}  // namespace zeravan::forms
