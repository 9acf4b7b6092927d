// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// Qt's own texts (context menus and the like) in Simplified Chinese.
#pragma once

#include <QCoreApplication>

namespace zeravan::app {

// Qt's own texts (the edit fields' context menu and the like) in Simplified Chinese, as the
// rest of the interface, whatever the user's locale. False when Qt's translation is missing.
bool installChineseQtTexts(QCoreApplication& application);

}  // namespace zeravan::app
