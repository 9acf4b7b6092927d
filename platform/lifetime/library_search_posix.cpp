// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "platform/library_search.h"

namespace zeravan::platform {

// The dynamic linker searches no current folder unless told to (LD_LIBRARY_PATH, which is the
// user's own), and Qt loads its plugins by full path: nothing to restrict.
void restrictLibrarySearch() {}

}  // namespace zeravan::platform
