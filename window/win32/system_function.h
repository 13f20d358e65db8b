// A function of a system DLL, looked up by name when the program runs, so that the program still
// starts on the Windows versions that lack it (Vista, 7, 8 lack many): null there.
#pragma once

#include <windows.h>

namespace tempulix::win32 {

template <typename Function>
Function systemFunction(HMODULE module, const char* name) {
  const FARPROC found = module ? GetProcAddress(module, name) : nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

}  // namespace tempulix::win32
