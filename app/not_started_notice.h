// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The notice that the program does not start, and why.
#pragma once

#include "platform/single_instance_place.h"

namespace zeravan::app {

// Says why the program does not start, on standard error and, for a start from the desktop's
// menu, in a small window of its own, in Chinese; returns once the user has closed it.
void sayNotStarted(const platform::SingleInstanceProblem& why);

}  // namespace zeravan::app
