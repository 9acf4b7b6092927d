// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "win32_power_calls.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace zeravan::platform::win32 {

// The token record is handed over by size; both must match the layout the system expects.
static_assert(sizeof(LUID) == 8);
static_assert(sizeof(TOKEN_PRIVILEGES) == 16);
static_assert(EWX_LOGOFF == exitLogOff && EWX_SHUTDOWN == exitShutdown && EWX_REBOOT == exitReboot);

namespace {

constexpr DWORD adjustAndQuery = TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY;
static_assert(adjustAndQuery == 0x28);
static_assert(SE_PRIVILEGE_ENABLED == 2);

std::string describe(DWORD code) {
    char text[512] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, text, sizeof(text), nullptr);
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n')) --length;
    std::string reason = "Windows error " + std::to_string(code);
    if (length > 0) reason += ": " + std::string(text, length);
    return reason;
}

}  // namespace

void enableShutdownPrivilege() {
    HANDLE process = GetCurrentProcess();
    HANDLE token = nullptr;
    OpenProcessToken(process, adjustAndQuery, &token);

    LUID luid{};
    LookupPrivilegeValueA("", "SeShutdownPrivilege", &luid);

    TOKEN_PRIVILEGES newState{};
    newState.PrivilegeCount = 1;
    newState.Privileges[0].Luid = luid;
    newState.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    TOKEN_PRIVILEGES previous{};
    DWORD returnedLength = 0;
    AdjustTokenPrivileges(token, FALSE, &newState, sizeof(previous), &previous, &returnedLength);

    if (token != nullptr) CloseHandle(token);
}

bool isEndSessionCalledOff(const void* message) {
    const auto* msg = static_cast<const MSG*>(message);
    return msg->message == WM_ENDSESSION && msg->wParam == FALSE;
}

bool exitWindows(unsigned flags, std::string& reason) {
    if (ExitWindowsEx(flags, 0)) return true;
    reason = describe(GetLastError());
    return false;
}

}  // namespace zeravan::platform::win32
