// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// How the window starts the page painter, hears it and ends it.
#pragma once

#include <QProcess>
#include <QProcessEnvironment>

// How the window starts the page painter, hears it and ends it.
namespace zeravan::platform {

// Readies `painter`, not yet started, to start the page painter laying text out at
// `logicalDpi`: with what painting needs of the environment and nothing else the window holds,
// ended with the window, and with what it says on its standard error logged; one that says more
// than a few KB there is ended.
void preparePainterLaunch(QProcess& painter, int logicalDpi);

// Ends `painter`, told all it will be told, once it has said nothing for `silenceMs`, whatever
// it is doing.
void endPainterWhenSilent(QProcess& painter, int silenceMs);

// Each system's part, chosen by the build (painter_launch_*.cpp).
// The environment the painter starts with.
QProcessEnvironment painterEnvironment();
// What the painter inherits, and what happens to it when the window goes.
void confinePainterStart(QProcess& painter);

}  // namespace zeravan::platform
