// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QProcess>

// How the page painter is started on each system: one file for each, chosen by the build.
namespace zeravan::platform {

// Starts `program`, the page painter, in `process`, whose channels are already chosen, with
// no more of the program's than it needs.
void startPainter(QProcess& process, const QString& program);

}  // namespace zeravan::platform
