// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// How the page painter holds its own process in: its limits, the Qt platform it draws on and its
// standard streams, on each system (one file for each, chosen by the build).
#pragma once

#include <QtGlobal>

namespace zeravan::platform {

// The Qt platform the painter draws on: one that opens no window and reads the system's fonts.
const char* painterQtPlatform();

// Makes the standard input and output carry bytes as they are.
void useBinaryStandardStreams();

// From now on the process may take at most `moreMemory` bytes of memory beyond what it holds now,
// and `cpuSeconds` of processor time in all; past either, the system ends it (or an allocation
// fails and the process ends itself), leaving no core dump or crash report. On Linux it is walled
// in as well: from then on it reads its fonts and plugins and paints, and does nothing else.
void confinePainter(qint64 moreMemory, int cpuSeconds);

}  // namespace zeravan::platform
