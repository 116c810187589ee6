# Cross toolchain: 32-bit Windows executables (the shipped program).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(LANZE_MINGW i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
