// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "painter_launch.h"

namespace zeravan::platform {

// The painter confines itself (painter_process_posix.cpp).
void startPainter(QProcess& process, const QString& program) {
    process.start(program);
}

}  // namespace zeravan::platform
