# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# cmake -DSOURCE_DIR=<repo> -DOUTPUT=<exe> -P cross_compile_win32.cmake
# Builds the Win32 power calls with MinGW; a missing compiler is a failure, not a skip. The check
# reaches their header, private to the platform, beside their source.
find_program(MINGW_CXX x86_64-w64-mingw32-g++)
if(NOT MINGW_CXX)
    message(FATAL_ERROR "x86_64-w64-mingw32-g++ not found (Debian: g++-mingw-w64-x86-64)")
endif()

execute_process(
    COMMAND ${MINGW_CXX} -std=c++20 -Wall -Wextra -Werror -I${SOURCE_DIR}/platform/power
        ${SOURCE_DIR}/platform/power/win32_power_calls.cpp
        ${SOURCE_DIR}/tests/platform/win32_record_check.cpp
        -ladvapi32 -luser32 -o ${OUTPUT}
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cross-compiling the Win32 power calls failed: ${result}")
endif()
