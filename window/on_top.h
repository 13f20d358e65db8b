// The always-on-top switch as the controller sees it: it puts a top-level window into the
// always-on-top band of the stacking order, or takes it out, and never moves or resizes it. Each
// window layer has its own (window/qt/stay_on_top_hint.h, window/win32/topmost.h).
#pragma once

#include <cstdint>

namespace tempulix {

// The native handle of a top-level window: an HWND on Windows, an X11 window id elsewhere.
using WindowHandle = std::uintptr_t;

// The 16-bit flag values the switch takes: exactly flagTrue turns the state on, any other value
// (1 included) off. Both arguments are in/out by reference; on return flag holds 1 if the window
// system took the request and 0 if not. Failure is silent.
inline constexpr std::int16_t flagTrue = -1;
inline constexpr std::int16_t flagFalse = 0;

}  // namespace tempulix
