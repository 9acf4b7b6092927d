// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace zeravan::platform {

// The name of the character encoding a web page is written in: its byte order mark, else the
// charset of its Content-Type header, else a <meta> declaration near its start, else UTF-8.
// The name is only letters, digits and . _ : - (it may still name an encoding nobody knows).
std::string pageCharset(std::string_view contentType, std::string_view body);

}  // namespace zeravan::platform
