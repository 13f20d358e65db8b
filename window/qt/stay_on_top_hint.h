// The always-on-top switch of the Linux program: Qt's stay-on-top hint of the program's top-level
// window with the given handle. On X11 Qt asks the window manager for the EWMH keep-above state;
// where there is no window manager, or no such state (native Wayland), the hint does nothing.
#pragma once

#include "on_top.h"

namespace tempulix {

// Exactly flagTrue turns the hint on, any other value off. On return flag is 1 if the program
// has a window with the handle, else 0; the handle is left as it is. Failure is silent.
void setOnTop(WindowHandle& window, std::int16_t& flag);

}  // namespace tempulix
