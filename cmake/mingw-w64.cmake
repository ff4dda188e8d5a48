# Cross build for 64-bit Windows with Debian's mingw-w64 (POSIX thread model),
# the programs run under wine: the image generator at build time, the tests
# under ctest. Every program is linked statically, so it needs no DLL beyond
# the system's own.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VORLAN_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VORLAN_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VORLAN_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VORLAN_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VORLAN_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# wine runs each program in a prefix of the build tree's own (scripts/wine-run.sh).
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
