// The always-on-top switch on Windows: SetWindowPos(HWND_TOPMOST or HWND_NOTOPMOST, 0, 0, 0, 0,
// SWP_NOMOVE | SWP_NOSIZE), the program's one direct call to change its window's stacking.
#pragma once

#include "on_top.h"

namespace tempulix::win32 {

// As on_top.h says. A failure's cause stays in the thread's last error for a debugger to read.
void setOnTop(WindowHandle& windowHandle, std::int16_t& flag);

}  // namespace tempulix::win32
