# What both Windows builds share, cross-built with mingw-w64; included by the toolchain file of
# each processor after it has set CMAKE_SYSTEM_PROCESSOR and _prefix (the tools' triplet).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${_prefix}-gcc)
set(CMAKE_CXX_COMPILER ${_prefix}-g++)
set(CMAKE_RC_COMPILER ${_prefix}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Small rather than fast (a tick costs microseconds either way), and nothing the program does
# not use: it neither throws nor catches nor asks for types at run time, and unused functions
# are dropped at link time.
string(APPEND CMAKE_CXX_FLAGS_INIT " -fno-exceptions -fno-rtti -ffunction-sections -fdata-sections")
set(CMAKE_CXX_FLAGS_RELEASE "-Os -DNDEBUG" CACHE STRING "Flags for the release build")
# The hardening mingw-w64 offers, as the Linux build has its own: stack canaries and checked
# buffer functions (from a static libssp), and in the PE header address-space randomisation,
# no-execute data and awareness of Remote Desktop sessions (no compatibility layer for them).
# And the standard library's own checks (bounds of strings and containers, among others), which
# also keep its string type out of the explicit instantiations in libstdc++.a: mingw-w64's g++ 16
# (Debian testing) leaves the move constructor of std::string, that -Os calls, unresolved there.
string(APPEND CMAKE_CXX_FLAGS_INIT " -fstack-protector-strong -D_FORTIFY_SOURCE=2 -D_GLIBCXX_ASSERTIONS")
# No mingw runtime DLLs next to the program: everything it needs is linked in. No link time in
# the PE header either, so that the same sources always give the same file.
string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT " -static -static-libgcc -static-libstdc++ \
-Wl,--gc-sections -fstack-protector-strong -Wl,--dynamicbase,--nxcompat,--tsaware \
-Wl,--no-insert-timestamp")
string(APPEND CMAKE_SHARED_LINKER_FLAGS_INIT " -Wl,--no-insert-timestamp")
