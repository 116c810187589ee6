# Cross toolchain: 32-bit Windows executables from Debian's mingw-w64 (posix threads,
# so std::thread and friends work).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(LANZE_MINGW i686-w64-mingw32)
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
