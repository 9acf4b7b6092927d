// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include <windows.h>
// After windows.h, which they need.
#include <fcntl.h>
#include <io.h>
#include <psapi.h>

#include <QImageReader>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "painter_confinement.h"

namespace zeravan::platform {

namespace {

// A job of its own whose limits Windows keeps: the memory the process commits, its time, no
// process beside it (so no child), and nothing of the user's desktop: no other program's
// windows, no clipboard, no system settings, no ending of the session. A process cannot leave
// its job.
bool joinConfiningJob(qint64 moreMemory, int cpuSeconds) {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof counters);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags =
        JOB_OBJECT_LIMIT_PROCESS_MEMORY | JOB_OBJECT_LIMIT_PROCESS_TIME |
        JOB_OBJECT_LIMIT_ACTIVE_PROCESS | JOB_OBJECT_LIMIT_DIE_ON_UNHANDLED_EXCEPTION;
    limits.ProcessMemoryLimit = SIZE_T(counters.PrivateUsage) + SIZE_T(moreMemory);
    limits.BasicLimitInformation.PerProcessUserTimeLimit.QuadPart =
        LONGLONG(cpuSeconds) * 10'000'000;
    limits.BasicLimitInformation.ActiveProcessLimit = 1;
    JOBOBJECT_BASIC_UI_RESTRICTIONS desktop{JOB_OBJECT_UILIMIT_ALL};
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    return job != nullptr &&
           SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits,
                                   sizeof limits) &&
           SetInformationJobObject(job, JobObjectBasicUIRestrictions, &desktop, sizeof desktop) &&
           AssignProcessToJobObject(job, GetCurrentProcess());
}

// Low integrity, for good: the process can write nothing of the user's and reach no window of
// a program above that level. No process can raise its own level again.
bool lowerIntegrity(HANDLE token) {
    SID_IDENTIFIER_AUTHORITY label = SECURITY_MANDATORY_LABEL_AUTHORITY;
    PSID low = nullptr;
    if (!AllocateAndInitializeSid(&label, 1, SECURITY_MANDATORY_LOW_RID, 0, 0, 0, 0, 0, 0, 0,
                                  &low)) {
        return false;
    }
    TOKEN_MANDATORY_LABEL level{{low, SE_GROUP_INTEGRITY}};
    const bool lowered =
        SetTokenInformation(token, TokenIntegrityLevel, &level, sizeof level + GetLengthSid(low));
    FreeSid(low);
    return lowered;
}

// The groups a restricted token keeps, as Windows' own sandboxes do: what the system's own
// folders (its fonts, Program Files) grant to, and nothing that only the user's files grant to.
std::vector<PSID> keptGroups(std::vector<std::vector<BYTE>>& storage, const TOKEN_GROUPS& groups) {
    std::vector<PSID> kept;
    for (WELL_KNOWN_SID_TYPE type : {WinWorldSid, WinBuiltinUsersSid, WinRestrictedCodeSid}) {
        DWORD size = SECURITY_MAX_SID_SIZE;
        storage.emplace_back(size);
        if (CreateWellKnownSid(type, nullptr, storage.back().data(), &size)) {
            kept.push_back(storage.back().data());
        }
    }
    for (DWORD i = 0; i < groups.GroupCount; ++i) {
        if (groups.Groups[i].Attributes & SE_GROUP_LOGON_ID) kept.push_back(groups.Groups[i].Sid);
    }
    return kept;
}

// The thread that reads the requests, parses and paints works under a restricted token: no
// privileges, the user and every group but the kept ones for deny only, and access only where
// the kept groups have it too.
bool restrictThisThread(HANDLE token) {
    DWORD size = 0;
    GetTokenInformation(token, TokenGroups, nullptr, 0, &size);
    std::vector<BYTE> groupBytes(size);
    DWORD userSize = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &userSize);
    std::vector<BYTE> userBytes(userSize);
    if (!GetTokenInformation(token, TokenGroups, groupBytes.data(), size, &size) ||
        !GetTokenInformation(token, TokenUser, userBytes.data(), userSize, &userSize)) {
        return false;
    }
    const auto& groups = *reinterpret_cast<const TOKEN_GROUPS*>(groupBytes.data());
    std::vector<std::vector<BYTE>> storage;
    const std::vector<PSID> kept = keptGroups(storage, groups);
    std::vector<SID_AND_ATTRIBUTES> denyOnly{
        {reinterpret_cast<TOKEN_USER*>(userBytes.data())->User.Sid, 0}};
    for (DWORD i = 0; i < groups.GroupCount; ++i) {
        const SID_AND_ATTRIBUTES& group = groups.Groups[i];
        const bool keep = std::any_of(kept.begin(), kept.end(),
                                      [&](PSID sid) { return EqualSid(sid, group.Sid); });
        if (!keep && !(group.Attributes & SE_GROUP_INTEGRITY)) denyOnly.push_back({group.Sid, 0});
    }
    std::vector<SID_AND_ATTRIBUTES> restricting;
    for (PSID sid : kept) restricting.push_back({sid, 0});
    HANDLE restricted = nullptr;
    HANDLE impersonation = nullptr;
    const bool done = CreateRestrictedToken(token, DISABLE_MAX_PRIVILEGE, DWORD(denyOnly.size()),
                                            denyOnly.data(), 0, nullptr, DWORD(restricting.size()),
                                            restricting.data(), &restricted) &&
                      DuplicateTokenEx(restricted, TOKEN_IMPERSONATE | TOKEN_QUERY, nullptr,
                                       SecurityImpersonation, TokenImpersonation, &impersonation) &&
                      SetThreadToken(nullptr, impersonation);
    if (restricted != nullptr) CloseHandle(restricted);
    if (impersonation != nullptr) CloseHandle(impersonation);
    return done;
}

}  // namespace

// The Windows platform: Qt's offscreen one finds no fonts there.
const char* painterQtPlatform() {
    return "windows";
}

void useBinaryStandardStreams() {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
}

// Before the first request is read, which is where what a page brings comes in. The picture
// decoders are loaded first, while the program's folder may still be read. A painter that cannot
// be confined paints nothing: it ends at once, and the band keeps what it shows. Ended, it says
// nothing: no error report, no dialog.
void confinePainter(qint64 moreMemory, int cpuSeconds) {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    QImageReader::supportedImageFormats();
    HANDLE token = nullptr;
    const bool confined =
        joinConfiningJob(moreMemory, cpuSeconds) &&
        OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_DEFAULT | TOKEN_DUPLICATE | TOKEN_QUERY,
                         &token) &&
        lowerIntegrity(token) && restrictThisThread(token);
    if (token != nullptr) CloseHandle(token);
    if (!confined) ExitProcess(1);
}

}  // namespace zeravan::platform
