#include "topmost.h"

#include <windows.h>

namespace tempulix::win32 {

void setOnTop(WindowHandle& windowHandle, std::int16_t& flag) {
  HWND insertAfter = flag == flagTrue ? HWND_TOPMOST : HWND_NOTOPMOST;
  const BOOL result = SetWindowPos(reinterpret_cast<HWND>(windowHandle), insertAfter, 0, 0, 0, 0,
                                   SWP_NOMOVE | SWP_NOSIZE);
  flag = result ? 1 : 0;
}

}  // namespace tempulix::win32
