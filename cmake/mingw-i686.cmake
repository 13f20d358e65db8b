# The shipped Windows program: 32-bit, cross-built with mingw-w64. SSE2 arithmetic throughout:
# x87 extended precision changes the tenths shown.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(_prefix i686-w64-mingw32)
set(CMAKE_C_COMPILER ${_prefix}-gcc)
set(CMAKE_CXX_COMPILER ${_prefix}-g++)
set(CMAKE_RC_COMPILER ${_prefix}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
# Small rather than fast (a tick costs microseconds either way), and nothing the program does
# not use: it neither throws nor catches nor asks for types at run time, and unused functions
# are dropped at link time.
string(APPEND CMAKE_CXX_FLAGS_INIT " -fno-exceptions -fno-rtti -ffunction-sections -fdata-sections")
set(CMAKE_CXX_FLAGS_RELEASE "-Os -DNDEBUG" CACHE STRING "Flags for the release build")
# The hardening mingw-w64 offers, as the Linux build has its own: stack canaries and checked
# buffer functions (from a static libssp), and in the PE header address-space randomisation,
# no-execute data and awareness of Remote Desktop sessions (no compatibility layer for them).
string(APPEND CMAKE_CXX_FLAGS_INIT " -fstack-protector-strong -D_FORTIFY_SOURCE=2")
# No mingw runtime DLLs next to the program: everything it needs is linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--gc-sections \
-fstack-protector-strong -Wl,--dynamicbase,--nxcompat,--tsaware")
