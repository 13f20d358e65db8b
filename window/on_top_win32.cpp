#include <windows.h>

#include "on_top.h"

namespace tempulix {
namespace {
DWORD lastError = 0;
}

void setOnTop(WindowHandle& windowHandle, std::int16_t& flag) {
  HWND insertAfter = flag == flagTrue ? HWND_TOPMOST : HWND_NOTOPMOST;
  const BOOL result = SetWindowPos(reinterpret_cast<HWND>(windowHandle), insertAfter, 0, 0, 0, 0,
                                   SWP_NOMOVE | SWP_NOSIZE);
  lastError = GetLastError();
  flag = result ? 1 : 0;
}

std::uint32_t lastOnTopError() {
  return lastError;
}

}  // namespace tempulix
