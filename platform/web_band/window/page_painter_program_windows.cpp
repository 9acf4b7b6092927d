// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include <QCoreApplication>
#include <QDir>

#include "platform/page_painter_program.h"

namespace zeravan::platform {

// Beside the program, as the release's folder has it.
QString pagePainterProgram() {
    return QDir(QCoreApplication::applicationDirPath())
        .filePath(QStringLiteral("zeravan-page-painter.exe"));
}

}  // namespace zeravan::platform
