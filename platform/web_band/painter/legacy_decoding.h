// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// Pages in legacy encodings read by the system's own decoders.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <string_view>

namespace zeravan::platform {

// Bytes in a legacy encoding (GBK, Big5, windows-1252 …, by its name in pageCharset) read by the
// system's own decoders; nothing when the system has none for it. Each system's is in a file of
// its own.
std::optional<QString> legacyDecoded(std::string_view encoding, const QByteArray& bytes);

}  // namespace zeravan::platform
