// Puts a top-level window into the always-on-top band of the stacking order, or takes it out: the
// only direct call to the window system in the program; position and size are never touched.
// The switch's contract is the same everywhere; on X11 it is x11::KeepAbove (window/x11), which
// works on the program's own X connection.
#pragma once

#include <cstdint>

namespace tempulix {

// The native handle of a top-level window: an HWND on Windows, an X11 window id elsewhere.
using WindowHandle = std::uintptr_t;

// The 16-bit flag values the switch takes.
inline constexpr std::int16_t flagTrue = -1;
inline constexpr std::int16_t flagFalse = 0;

#ifdef _WIN32
// Exactly flagTrue (-1) turns the on-top state on; any other value, 1 included, turns it off.
// Both arguments are in/out by reference: on return flag holds 1 if the window system took the
// request and 0 if not. Failure is silent: nothing is printed, thrown or otherwise changed.
// SetWindowPos(HWND_TOPMOST or HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE).
void setOnTop(WindowHandle& windowHandle, std::int16_t& flag);
#endif

}  // namespace tempulix
