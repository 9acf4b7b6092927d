// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The countdown dialog presented to screen readers as an alert.
#pragma once

namespace zeravan {

// Screen readers learn of the countdown as an alert: it opens in front without taking the focus,
// so the window being activated, which they would otherwise speak, does not happen. An alert
// that shows is spoken wherever the focus is.
void presentCountdownAsAlert();

}  // namespace zeravan
