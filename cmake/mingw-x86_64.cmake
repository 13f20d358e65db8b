# The same Windows program for 64-bit Windows (x86-64), cross-built with mingw-w64: built and
# tested beside the shipped 32-bit one, and runnable by 64-bit Wine on every x86-64 kernel. Its
# arithmetic is SSE2 by the architecture's own rules; its PE header also asks for 64-bit
# address-space randomisation (high entropy).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(_prefix x86_64-w64-mingw32)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-Wl,--high-entropy-va")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
