// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include <windows.h>
// After windows.h, which they need.
#include <fcntl.h>
#include <io.h>
#include <psapi.h>

#include <cstdio>

#include "painter_process.h"

namespace zeravan::platform {

// The Windows platform: Qt's offscreen one finds no fonts there.
const char* painterQtPlatform() {
    return "windows";
}

void useBinaryStandardStreams() {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
}

// A job of its own whose limits Windows keeps: the memory the process commits, its time. Ended,
// it says nothing: no error report, no dialog.
void confinePainter(qint64 moreMemory, int cpuSeconds) {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof counters);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags =
        JOB_OBJECT_LIMIT_PROCESS_MEMORY | JOB_OBJECT_LIMIT_PROCESS_TIME;
    limits.ProcessMemoryLimit = SIZE_T(counters.PrivateUsage) + SIZE_T(moreMemory);
    limits.BasicLimitInformation.PerProcessUserTimeLimit.QuadPart =
        LONGLONG(cpuSeconds) * 10'000'000;
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    if (job == nullptr) return;
    SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    AssignProcessToJobObject(job, GetCurrentProcess());
}

}  // namespace zeravan::platform
