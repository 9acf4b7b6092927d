// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "painter_launch.h"

namespace zeravan::platform {

// The program's own, less any theme the desktop gives: a theme may load a whole toolkit. Windows
// finds the system's fonts and the painter's libraries through it.
QProcessEnvironment painterEnvironment() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORMTHEME"));
    environment.remove(QStringLiteral("QT_STYLE_OVERRIDE"));
    return environment;
}

// On Windows the painter confines itself, in a job of its own (painter_process_windows.cpp).
void confinePainterStart(QProcess&) {}

}  // namespace zeravan::platform
