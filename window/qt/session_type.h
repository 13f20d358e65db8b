// Whether the program runs in a Wayland session, where global shortcuts come from the desktop's
// portal (the X11 grabs of its XWayland never see a key pressed in a Wayland window), or in an
// X11 session, where they are grabbed on the X server. It says nothing about which of Qt's
// platforms the window is on: in a Wayland session that is still xcb, through XWayland.
#pragma once

#include <string_view>

namespace tempulix {

// XDG_SESSION_TYPE decides where it names wayland or x11 (a nested compositor in an X11 session
// sets WAYLAND_DISPLAY too); elsewhere (unset, tty) a WAYLAND_DISPLAY that is set.
bool isWaylandSession(std::string_view sessionType, std::string_view waylandDisplay);

// The same for this process's environment.
bool waylandSession();

}  // namespace tempulix
