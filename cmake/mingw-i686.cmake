# The shipped Windows program: 32-bit, cross-built with mingw-w64. SSE2 arithmetic throughout:
# x87 extended precision changes the tenths shown.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(_prefix i686-w64-mingw32)
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
