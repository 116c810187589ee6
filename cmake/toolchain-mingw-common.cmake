# The part of the two cross toolchains they share: Debian's mingw-w64 with posix threads
# (so std::thread and friends work). The including file sets CMAKE_SYSTEM_PROCESSOR and
# LANZE_MINGW (the target triplet).
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER   ${LANZE_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LANZE_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER  ${LANZE_MINGW}-windres)

# Look for libraries and headers only in the target sysroot, for programs only on the host.
set(CMAKE_FIND_ROOT_PATH /usr/${LANZE_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)

# Static runtime: every .exe stands alone, no libstdc++/libgcc/winpthread DLLs to ship
# next to it or to find on Wine's path.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
