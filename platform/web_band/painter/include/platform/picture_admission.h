// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// Which pictures the web band decodes, and how much of them, read from their bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zeravan::platform {

// At most this many pixels are decoded for one picture of the web band (a 1600 x 1200 photo).
inline constexpr std::int64_t maxPicturePixels = 2'000'000;
// Scans of one JPEG: a progressive photo has about ten; each one costs a pass over the picture.
inline constexpr int maxJpegScans = 64;
// Chunks of one PNG, and segments of one JPEG or extensions of one GIF before its picture.
inline constexpr int maxPictureParts = 10'000;

enum class PictureFormat { png, jpeg, gif, bmp, ico };

// A picture the web band will decode, known by its first bytes and read as far as its decoder
// will read it: what the decoding costs is known before it is paid.
struct AdmittedPicture {
    PictureFormat format;
    // What the decoder allocates: the pixels of the PNG, JPEG or BMP, the GIF's logical screen
    // (or more, where the first frame lies outside it), the ICO's first picture.
    int width = 0;
    int height = 0;
    // What the decoder is given: the PNG with no chunk but those of its pixels and colours (no
    // text, profile or animation), the GIF up to its first frame, the ICO's first picture alone.
    std::string bytes;
};

// The picture in bytes when it is a PNG, JPEG, GIF, BMP or ICO that keeps to the limits above;
// nothing for anything else, whatever its name or media type says.
std::optional<AdmittedPicture> admitPicture(std::string_view bytes);

}  // namespace zeravan::platform
