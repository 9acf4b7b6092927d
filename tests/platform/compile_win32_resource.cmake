# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# cmake -DRESOURCE=<the configured zeravan.rc> -DOUTPUT=<object> -P compile_win32_resource.cmake
# Compiles the Windows resource file with MinGW and reads it back; a missing tool is a failure.
find_program(WINDRES x86_64-w64-mingw32-windres)
if(NOT WINDRES)
    message(FATAL_ERROR "x86_64-w64-mingw32-windres not found (Debian: binutils-mingw-w64-x86-64)")
endif()

execute_process(
    COMMAND ${WINDRES} ${RESOURCE} -O coff -o ${OUTPUT}
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "compiling ${RESOURCE} failed: ${result}")
endif()

# Decompiled, the object must hold the icon group and the Chinese version block, whose version
# project(VERSION) 1.0.0.0 makes "1.00".
execute_process(
    COMMAND ${WINDRES} -J coff -i ${OUTPUT} -O rc
    OUTPUT_VARIABLE decompiled
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "reading back ${OUTPUT} failed: ${result}")
endif()
foreach(expected "1 14 /\\* RT_GROUP_ICON \\*/" "BLOCK \"080404B0\"" "VALUE \"FileVersion\", \"1.00\""
        "VALUE \"Translation\", 0x804, 1200")
    if(NOT decompiled MATCHES "${expected}")
        message(FATAL_ERROR "${OUTPUT} lacks ${expected}")
    endif()
endforeach()
