// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The painted page as screen readers find it.
#pragma once

namespace zeravan::platform {

// Has screen readers find a PagePictureView as a document named as the band, whose text is the
// page's and whose children are its links: each named by what it says, focused as Tab focuses
// it and pressed to open it as a click opens it. Once is enough; more calls do nothing.
void installPagePictureViewAccessible();

}  // namespace zeravan::platform
