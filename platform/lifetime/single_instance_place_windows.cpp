// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include <windows.h>
// After windows.h, which it needs.
#include <sddl.h>

#include <QDir>
#include <vector>

#include "platform/single_instance_place.h"

namespace zeravan::platform {

namespace {

// The security identifier of the user a process runs as ("S-1-5-21-…"); empty when it cannot be
// read, as for another user's process.
std::wstring userOfProcess(HANDLE process) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token)) return {};
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    std::wstring user;
    LPWSTR text = nullptr;
    if (size != 0 && GetTokenInformation(token, TokenUser, buffer.data(), size, &size) &&
        ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) {
        user = text;
        LocalFree(text);
    }
    CloseHandle(token);
    return user;
}

}  // namespace

// Pipe names are one namespace for every user and session of the machine: the name carries both,
// and whoever holds it is checked too (peerIsSameUser), since another user can compute it.
std::vector<SingleInstancePlace> findSingleInstancePlaces(const std::string& session) {
    const std::wstring user = userOfProcess(GetCurrentProcess());
    if (user.empty()) {
        return {{{}, {}, {"无法读取当前用户的身份", "the current user's identity cannot be read"}}};
    }
    const QString name = QStringLiteral("io.github.orrimel.Zeravan-") +
                         QString::fromStdWString(user) + QLatin1Char('-') +
                         QString::fromStdString(session);
    // A pipe has no folder: the lock file goes into the user's own temporary folder, which only
    // the user and the administrators may write to.
    return {{name, QDir::tempPath() + QLatin1Char('/') + name + QStringLiteral(".lock"), {}}};
}

// QLockFile's own check of the process named in the record is all there is here.
bool removeLockOfNoCopy(QLockFile&) {
    return false;
}

bool peerIsSameUser(qintptr socketDescriptor) {
    ULONG serverId = 0;
    if (!GetNamedPipeServerProcessId(reinterpret_cast<HANDLE>(socketDescriptor), &serverId)) {
        return false;
    }
    const HANDLE server = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, serverId);
    if (server == nullptr) return false;
    const std::wstring user = userOfProcess(server);
    CloseHandle(server);
    return !user.empty() && user == userOfProcess(GetCurrentProcess());
}

}  // namespace zeravan::platform
