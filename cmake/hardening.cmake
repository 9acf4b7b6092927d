# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# Hardened builds: on Debian the flags its packages are built with (dpkg-buildflags with every
# hardening feature: the stack protector, _FORTIFY_SOURCE, full RELRO with BIND_NOW, PIE), on
# Windows MinGW's: the stack protector, _FORTIFY_SOURCE, and a program that Windows loads at a
# random address anywhere in 64 bits and never runs data as code.
option(ZERAVAN_HARDEN "Build with the platform's hardening flags" ON)
if(NOT ZERAVAN_HARDEN)
    return()
endif()

# _FORTIFY_SOURCE works through the optimiser; without one it only warns in every file.
set(optimised $<CONFIG:Release,RelWithDebInfo,MinSizeRel>)

if(MINGW)
    add_compile_options(-fstack-protector-strong $<${optimised}:-D_FORTIFY_SOURCE=2>)
    # The stack protector brings in libssp-0.dll, which the release carries beside the program.
    add_link_options(-fstack-protector-strong
        -Wl,--dynamicbase -Wl,--nxcompat -Wl,--high-entropy-va)
    return()
endif()

find_program(ZERAVAN_DPKG_BUILDFLAGS dpkg-buildflags)
if(NOT ZERAVAN_DPKG_BUILDFLAGS)
    message(WARNING "dpkg-buildflags (Debian: dpkg-dev) not found: building without hardening")
    return()
endif()
# The build type chooses optimisation and debugging information, and source paths stay as they
# are (for debuggers and test reports): only the hardening is taken.
foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env
            "DEB_BUILD_MAINT_OPTIONS=hardening=+all reproducible=-fixfilepath,-fixdebugpath"
            "DEB_CXXFLAGS_MAINT_STRIP=-g -O2"
            ${ZERAVAN_DPKG_BUILDFLAGS} --get ${kind}
        OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(flags_${kind} UNIX_COMMAND "${flags}")
endforeach()
list(JOIN flags_CPPFLAGS " " shown_cppflags)
list(JOIN flags_CXXFLAGS " " shown_cxxflags)
list(JOIN flags_LDFLAGS " " shown_ldflags)
message(STATUS "Hardening: ${shown_cppflags} ${shown_cxxflags} ${shown_ldflags}")
add_compile_options("$<${optimised}:${flags_CPPFLAGS}>" ${flags_CXXFLAGS})
add_link_options(${flags_LDFLAGS})
