// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// Keeping a window above the others, and letting them over it again.
#pragma once

#include <QWidget>

namespace zeravan::platform {

// Asks that `window` stay above the other windows; before it is first shown.
void keepAbove(QWidget& window);

// Lets other windows come above `window` again, which stays shown as it is: windows that open
// later come on top of it, and any other window may be raised over it.
void stopKeepingAbove(QWidget& window);

// For a window about to be shown without taking the keyboard, from its show event. Where the
// window manager keeps no window above the others on request (i3 ignores that state, and raises a
// floating window only by focusing it), it asks for `window` to be focused, and so raised, while
// the window takes no keyboard input until the user clicks it; then it hands the focus back to
// the window of another program that had it. Elsewhere it does nothing.
void raiseWithoutKeepingFocus(QWidget& window);

}  // namespace zeravan::platform
