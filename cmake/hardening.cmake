# Debian's hardening flags for the Linux build (those dpkg-buildflags gives with
# hardening=+all): stack protector, format checks, fortified functions where optimised, read-only
# relocations bound at start. The sanitizer build keeps its own instrumentation instead.
if(CMAKE_CXX_FLAGS MATCHES "sanitize")
  return()
endif()
add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security)
add_compile_definitions($<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
add_link_options(LINKER:-z,relro LINKER:-z,now)
