# Cross toolchain: 64-bit Windows executables, for hosts that run 64-bit code only and to
# keep the tree free of 4-byte pointer assumptions.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(LANZE_MINGW x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
