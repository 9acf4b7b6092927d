// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// Cross-compiled and linked with the Win32 power calls, never run.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "win32_power_calls.h"

static_assert(sizeof(LUID) == 8);
static_assert(sizeof(LUID_AND_ATTRIBUTES) == 12);
static_assert(sizeof(TOKEN_PRIVILEGES) == 16);

namespace {

// Taken by address only, so the linker must find them and nothing is ever called.
void (*volatile const keepPrivilege)() = &zeravan::platform::win32::enableShutdownPrivilege;
bool (*volatile const keepExit)(unsigned, std::string&) = &zeravan::platform::win32::exitWindows;

}  // namespace

int main() {
    return keepPrivilege != nullptr && keepExit != nullptr ? 0 : 1;
}
