# 64-bit Windows: the same program, built to run under wine64 for behaviour tests.
set(TEMPULIX_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
