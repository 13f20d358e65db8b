# 32-bit Windows. SSE2 arithmetic throughout: x87 extended precision changes the tenths shown.
set(TEMPULIX_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
