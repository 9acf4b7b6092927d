// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// Designed positions and sizes in twips, converted to Qt's pixels.
#pragma once

#include <QRect>
#include <cmath>

namespace zeravan::forms {

// Designed positions are in twips: 15 to the pixel at 96 dpi. Qt's device-independent pixels
// are 96-dpi pixels, so other displays are scaled by Qt itself.
inline constexpr float TwipsPerPixelX = 15.0F;

inline int px(int twips) {
    return static_cast<int>(std::lround(twips / static_cast<double>(TwipsPerPixelX)));
}

inline QRect twipsRect(int left, int top, int width, int height) {
    return {px(left), px(top), px(width), px(height)};
}

}  // namespace zeravan::forms
