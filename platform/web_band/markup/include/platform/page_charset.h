// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The encoding a web page is written in, chosen as browsers choose it.
#pragma once

#include <string>
#include <string_view>

namespace zeravan::platform {

// The encoding a web page is written in, as browsers choose it: its byte order mark, else the
// charset of its Content-Type header, else a <meta> declaration found by browsers' prescan of its
// start (comments and attribute values stepped over), else UTF-8. Labels are read as browsers
// read them ("gb2312" and "x-gbk" as GBK, "iso-8859-1" and "us-ascii" as windows-1252); one no
// browser knows is passed over. The result is the encoding's name in the WHATWG Encoding Standard
// ("UTF-8", "GBK", "windows-1252", "Big5", "Shift_JIS", "replacement" …).
std::string pageCharset(std::string_view contentType, std::string_view body);

}  // namespace zeravan::platform
