// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// Where libraries are loaded from, restricted first thing at start-up.
#pragma once

namespace zeravan::platform {

// Libraries loaded from here on (Qt's plugins and what they pull in) come only from the
// program's own folder and the system's, never from the current folder or the search path,
// where someone else may have put one. Called first thing at start-up.
void restrictLibrarySearch();

}  // namespace zeravan::platform
