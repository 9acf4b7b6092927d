// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "platform/page_painter_program.h"

namespace zeravan::platform {

// Installed, in the program's libexec folder (ZERAVAN_PAINTER_FOLDER, from the folder of the
// program); built, beside the program.
QString pagePainterProgram() {
    const QDir programFolder(QCoreApplication::applicationDirPath());
    const QString installed = QDir::cleanPath(
        programFolder.filePath(QStringLiteral(ZERAVAN_PAINTER_FOLDER "/zeravan-page-painter")));
    return QFileInfo::exists(installed)
               ? installed
               : programFolder.filePath(QStringLiteral("zeravan-page-painter"));
}

}  // namespace zeravan::platform
