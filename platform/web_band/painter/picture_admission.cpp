// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "platform/picture_admission.h"

#include <algorithm>
#include <array>

namespace zeravan::platform {

namespace {

using namespace std::string_view_literals;

constexpr std::string_view pngSignature = "\x89PNG\r\n\x1a\n"sv;
constexpr std::string_view pngEnd = "\0\0\0\0IEND\xae\x42\x60\x82"sv;
// The chunks of a PNG's pixels and colours; what else a PNG holds (text, compressed or not, a
// colour profile, animation frames) is dropped before it can cost anything.
constexpr std::array<std::string_view, 7> pngKeptChunks = {"PLTE", "IDAT", "tRNS", "gAMA",
                                                           "cHRM", "sRGB", "pHYs"};

unsigned byteAt(std::string_view bytes, std::size_t at) {
    return static_cast<unsigned char>(bytes[at]);
}

// The caller has checked that the bytes are there.
std::uint32_t bigEndian(std::string_view bytes, std::size_t at, int width) {
    std::uint32_t value = 0;
    for (int i = 0; i < width; ++i) value = (value << 8) | byteAt(bytes, at + i);
    return value;
}

std::uint32_t littleEndian(std::string_view bytes, std::size_t at, int width) {
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i) value = (value << 8) | byteAt(bytes, at + i);
    return value;
}

std::int64_t signedLittleEndian32(std::string_view bytes, std::size_t at) {
    return static_cast<std::int32_t>(littleEndian(bytes, at, 4));
}

bool withinPixels(std::int64_t width, std::int64_t height) {
    return width > 0 && height > 0 && width <= maxPicturePixels && height <= maxPicturePixels &&
           width * height <= maxPicturePixels;
}

std::optional<AdmittedPicture> admitted(PictureFormat format, std::int64_t width,
                                        std::int64_t height, std::string bytes) {
    if (!withinPixels(width, height)) return std::nullopt;
    return AdmittedPicture{format, static_cast<int>(width), static_cast<int>(height),
                           std::move(bytes)};
}

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The header chunk first; then every chunk is kept, dropped, or (a critical one that is not
// kept) refuses the picture. A PNG cut short after its pixels ends there.
std::optional<AdmittedPicture> admitPng(std::string_view bytes) {
    constexpr std::size_t headerEnd = 33;  // signature, IHDR's length, type, 13 bytes, CRC
    if (bytes.size() < headerEnd || bigEndian(bytes, 8, 4) != 13 || bytes.substr(12, 4) != "IHDR") {
        return std::nullopt;
    }
    std::string kept(bytes.substr(0, headerEnd));
    bool pixels = false;
    int chunks = 0;
    for (std::size_t at = headerEnd; at < bytes.size();) {
        if (++chunks > maxPictureParts || bytes.size() - at < 12) return std::nullopt;
        const std::uint32_t length = bigEndian(bytes, at, 4);
        if (length > bytes.size() - at - 12) return std::nullopt;
        const std::string_view type = bytes.substr(at + 4, 4);
        const std::string_view chunk = bytes.substr(at, 12 + std::size_t{length});
        at += chunk.size();
        if (!std::all_of(type.begin(), type.end(), isLetter)) return std::nullopt;
        if (type == "IEND") break;
        if (std::find(pngKeptChunks.begin(), pngKeptChunks.end(), type) != pngKeptChunks.end()) {
            kept += chunk;
            pixels = pixels || type == "IDAT";
        } else if (type[0] <= 'Z') {  // critical: a decoder must understand it
            return std::nullopt;
        }
    }
    if (!pixels) return std::nullopt;
    kept += pngEnd;
    return admitted(PictureFormat::png, bigEndian(bytes, 16, 4), bigEndian(bytes, 20, 4),
                    std::move(kept));
}

// Where the entropy-coded data that starts at `at` ends: at the next marker (a 0xff byte not
// followed by a stuffed zero or a restart marker), or at the end of the bytes.
std::size_t endOfScan(std::string_view bytes, std::size_t at) {
    for (; at + 1 < bytes.size(); ++at) {
        if (byteAt(bytes, at) != 0xff) continue;
        const unsigned next = byteAt(bytes, at + 1);
        if (next != 0 && next != 0xff && (next < 0xd0 || next > 0xd7)) return at;
    }
    return bytes.size();
}

// Baseline, extended and progressive frames (the JPEGs of the web), one frame, at most
// maxJpegScans scans. A JPEG cut short after a scan ends there.
std::optional<AdmittedPicture> admitJpeg(std::string_view bytes) {
    std::int64_t width = 0;
    std::int64_t height = 0;
    int scans = 0;
    int segments = 0;
    std::size_t at = 2;
    while (at < bytes.size()) {
        if (++segments > maxPictureParts || byteAt(bytes, at) != 0xff) return std::nullopt;
        while (at < bytes.size() && byteAt(bytes, at) == 0xff) ++at;  // fill bytes
        if (at == bytes.size()) return std::nullopt;
        const unsigned marker = byteAt(bytes, at++);
        if (marker == 0xd9) break;                                           // end of image
        if (marker == 0x01 || (marker >= 0xd0 && marker <= 0xd7)) continue;  // no segment
        if (marker == 0x00 || marker == 0xd8 || bytes.size() - at < 2) return std::nullopt;
        const std::uint32_t length = bigEndian(bytes, at, 2);
        if (length < 2 || length > bytes.size() - at) return std::nullopt;
        const std::string_view segment = bytes.substr(at + 2, length - 2);
        at += length;
        if (marker >= 0xc0 && marker <= 0xc2) {
            if (width > 0 || segment.size() < 6 || byteAt(segment, 0) != 8 ||
                byteAt(segment, 5) < 1 || byteAt(segment, 5) > 4) {
                return std::nullopt;
            }
            height = bigEndian(segment, 1, 2);
            width = bigEndian(segment, 3, 2);
            if (!withinPixels(width, height)) return std::nullopt;
        } else if (marker >= 0xc3 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 &&
                   marker != 0xcc) {
            return std::nullopt;  // lossless, hierarchical or arithmetic-coded frames
        } else if (marker == 0xda) {
            if (width == 0 || ++scans > maxJpegScans) return std::nullopt;
            at = endOfScan(bytes, at);
        }
    }
    if (scans == 0) return std::nullopt;
    return admitted(PictureFormat::jpeg, width, height, std::string(bytes.substr(0, at)));
}

std::size_t gifColourTableBytes(unsigned flags) {
    return (flags & 0x80) != 0 ? std::size_t{3} << ((flags & 7) + 1) : 0;
}

// Past the data sub-blocks that start at `at`: each a length byte and that many bytes, ended by
// an empty one.
std::optional<std::size_t> afterSubBlocks(std::string_view bytes, std::size_t at) {
    while (at < bytes.size()) {
        const std::size_t size = byteAt(bytes, at++);
        if (size == 0) return at;
        if (size > bytes.size() - at) return std::nullopt;
        at += size;
    }
    return std::nullopt;
}

// The logical screen, the extensions before the first frame and the first frame, then the end.
std::optional<AdmittedPicture> admitGif(std::string_view bytes) {
    if (bytes.size() < 13) return std::nullopt;
    const std::int64_t screenWidth = littleEndian(bytes, 6, 2);
    const std::int64_t screenHeight = littleEndian(bytes, 8, 2);
    std::size_t at = 13 + gifColourTableBytes(byteAt(bytes, 10));
    for (int extensions = 0; at < bytes.size() && byteAt(bytes, at) == 0x21; ++extensions) {
        if (extensions == maxPictureParts || bytes.size() - at < 2) return std::nullopt;
        const std::optional<std::size_t> after = afterSubBlocks(bytes, at + 2);
        if (!after) return std::nullopt;
        at = *after;
    }
    if (at >= bytes.size() || byteAt(bytes, at) != 0x2c || bytes.size() - at < 11) {
        return std::nullopt;
    }
    const std::int64_t right = littleEndian(bytes, at + 1, 2) + littleEndian(bytes, at + 5, 2);
    const std::int64_t bottom = littleEndian(bytes, at + 3, 2) + littleEndian(bytes, at + 7, 2);
    if (littleEndian(bytes, at + 5, 2) == 0 || littleEndian(bytes, at + 7, 2) == 0) {
        return std::nullopt;
    }
    at += 10 + gifColourTableBytes(byteAt(bytes, at + 9));
    if (at >= bytes.size() || byteAt(bytes, at) < 2 || byteAt(bytes, at) > 8) return std::nullopt;
    const std::optional<std::size_t> frameEnd = afterSubBlocks(bytes, at + 1);
    if (!frameEnd) return std::nullopt;
    return admitted(PictureFormat::gif, std::max(screenWidth, right),
                    std::max(screenHeight, bottom), std::string(bytes.substr(0, *frameEnd)) + ';');
}

bool isBmpDepth(std::uint32_t bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// Uncompressed, run-length or bit-field pixels, with at most 256 colours in the table.
std::optional<AdmittedPicture> admitBmp(std::string_view bytes) {
    constexpr std::size_t info = 14;  // the file header's size
    if (bytes.size() < info + 12) return std::nullopt;
    const std::uint32_t infoSize = littleEndian(bytes, info, 4);
    if (infoSize == 12) {  // the first form: sizes of 16 bits, no compression
        if (littleEndian(bytes, info + 8, 2) != 1 || !isBmpDepth(littleEndian(bytes, info + 10, 2)))
            return std::nullopt;
        return admitted(PictureFormat::bmp, littleEndian(bytes, info + 4, 2),
                        littleEndian(bytes, info + 6, 2), std::string(bytes));
    }
    if (infoSize < 40 || infoSize > 124 || bytes.size() < info + 40) return std::nullopt;
    const std::uint32_t bits = littleEndian(bytes, info + 14, 2);
    const std::uint32_t compression = littleEndian(bytes, info + 16, 4);
    const bool compressionFits = compression == 0 || (compression == 1 && bits == 8) ||
                                 (compression == 2 && bits == 4) ||
                                 (compression == 3 && (bits == 16 || bits == 32));
    if (littleEndian(bytes, info + 12, 2) != 1 || !isBmpDepth(bits) || !compressionFits ||
        littleEndian(bytes, info + 32, 4) > 256) {
        return std::nullopt;
    }
    const std::int64_t height = signedLittleEndian32(bytes, info + 8);  // below 0: top down
    return admitted(PictureFormat::bmp, signedLittleEndian32(bytes, info + 4),
                    height < 0 ? -height : height, std::string(bytes));
}

// The first picture of the icon: a PNG, decoded as one, or a device-independent bitmap of at
// most 256 x 256 (its header gives twice the height: the colours, then the mask), alone in an
// icon of its own.
std::optional<AdmittedPicture> admitIco(std::string_view bytes) {
    constexpr std::size_t entry = 6;
    constexpr std::size_t entrySize = 16;
    if (bytes.size() < entry + entrySize || littleEndian(bytes, 4, 2) == 0) return std::nullopt;
    const std::uint32_t size = littleEndian(bytes, entry + 8, 4);
    const std::uint32_t offset = littleEndian(bytes, entry + 12, 4);
    if (offset > bytes.size() || size > bytes.size() - offset) return std::nullopt;
    const std::string_view picture = bytes.substr(offset, size);
    if (picture.starts_with(pngSignature)) return admitPng(picture);
    if (picture.size() < 40 || littleEndian(picture, 0, 4) != 40) return std::nullopt;
    const std::int64_t width = signedLittleEndian32(picture, 4);
    const std::int64_t height = signedLittleEndian32(picture, 8) / 2;
    const std::uint32_t bits = littleEndian(picture, 14, 2);
    if (width > 256 || height > 256 || bits == 16 || !isBmpDepth(bits) ||
        littleEndian(picture, 16, 4) != 0) {
        return std::nullopt;
    }
    std::string single(bytes.substr(0, 4));
    single += "\x01\x00"sv;
    single += bytes.substr(entry, 12);
    single += "\x16\0\0\0"sv;  // the picture right after this one entry
    single += picture;
    return admitted(PictureFormat::ico, width, height, std::move(single));
}

}  // namespace

std::optional<AdmittedPicture> admitPicture(std::string_view bytes) {
    if (bytes.starts_with(pngSignature)) return admitPng(bytes);
    if (bytes.starts_with("\xff\xd8\xff"sv)) return admitJpeg(bytes);
    if (bytes.starts_with("GIF87a") || bytes.starts_with("GIF89a")) return admitGif(bytes);
    if (bytes.starts_with("BM")) return admitBmp(bytes);
    if (bytes.starts_with("\0\0\1\0"sv)) return admitIco(bytes);
    return std::nullopt;
}

}  // namespace zeravan::platform
