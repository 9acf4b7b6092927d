// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// Where the page painter program is.
#pragma once

#include <QString>

namespace zeravan::platform {

// Where the program's page painter (zeravan-page-painter) is, as installed or as built.
QString pagePainterProgram();

}  // namespace zeravan::platform
