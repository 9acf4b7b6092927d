// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// libFuzzer target: whatever bytes come as a picture, what is admitted keeps to the pixels
// allowed, is no larger than what came (but for the ends it adds), starts as its format
// starts, and is admitted again unchanged.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/picture_admission.h"

namespace {

using namespace zeravan::platform;

void check(bool condition) {
    if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::optional<AdmittedPicture> first = admitPicture(bytes);
    if (!first) return 0;
    check(first->width > 0 && first->height > 0 &&
          std::int64_t{first->width} * first->height <= maxPicturePixels);
    // A PNG's end chunk, a GIF's trailer or an icon's single entry is all that is added.
    check(first->bytes.size() <= size + 12);
    const std::optional<AdmittedPicture> again = admitPicture(first->bytes);
    check(again && again->format == first->format && again->width == first->width &&
          again->height == first->height && again->bytes == first->bytes);
    return 0;
}
