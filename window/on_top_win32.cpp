#include <windows.h>

#include "on_top.h"

namespace tempulix {

void setOnTop(WindowHandle& windowHandle, std::int16_t& flag) {
  HWND insertAfter = flag == flagTrue ? HWND_TOPMOST : HWND_NOTOPMOST;
  const BOOL result = SetWindowPos(reinterpret_cast<HWND>(windowHandle), insertAfter, 0, 0, 0, 0,
                                   SWP_NOMOVE | SWP_NOSIZE);
  // A failure's cause stays in the thread's last error (GetLastError) for a debugger to read.
  flag = result ? 1 : 0;
}

}  // namespace tempulix
