// The always-on-top switch on X11: the EWMH keep-above state of one top-level window, asked of the
// window manager with a client message to the root, on a connection the caller owns and reads the
// events of (the program's own, Qt's). It never waits for the window manager; it waits for the X
// server a few times for each request (what the window and its root are, whether a window manager
// has it and which), and again when a window manager that has not heard the request takes it.
//
// Each window manager hears the request once. The one that has the window when it is asked hears
// it then; if none has it, the first to take it hears it when it does; and one that takes the
// window after the one that heard has gone (restarted, or another in its stead) hears it when it
// takes it. A window manager's going is told by the end of the check window it announced itself
// with. Nothing else asks again: what the user sets through the window manager afterwards
// (keep-above off from its window menu, say) stands, through minimising and restoring, workspace
// switches and re-mapping, all of which rewrite WM_STATE.
#pragma once

#include <xcb/xcb.h>

#include <array>

#include "on_top.h"

namespace tempulix::x11 {

class KeepAbove {
 public:
  explicit KeepAbove(xcb_connection_t* connection);
  KeepAbove(const KeepAbove&) = delete;
  KeepAbove& operator=(const KeepAbove&) = delete;

  // The switch as the controller calls it: exactly flagTrue asks for keep-above, any other value
  // for its end. On return flag is 1 if a window manager had the window to hear the request and
  // lists keep-above among the states it supports, else 0; the handle is left as it is. Failure
  // is silent.
  void set(WindowHandle& window, std::int16_t& flag);

  // Every event that arrives on the connection, before or after Qt has it.
  void handleEvent(const xcb_generic_event_t& event);

 private:
  enum AtomIndex {
    wmState,
    netWmState,
    netWmStateAbove,
    netSupported,
    netSupportingWmCheck,
    count
  };

  void ask(bool above);
  // The check window of the window manager that names itself on the root now, none if none
  // does. Waits for the X server.
  xcb_window_t announcedWindowManager();
  // Follows the window manager that has just heard the request, to hear when it goes: its check
  // window's destruction. Waits for the X server.
  void followWindowManager();

  xcb_connection_t* connection_;
  std::array<xcb_atom_t, count> atoms_{};
  xcb_window_t window_ = XCB_WINDOW_NONE;
  xcb_window_t root_ = XCB_WINDOW_NONE;
  bool wanted_ = false;  // keep-above, as last asked for
  bool heard_ = false;   // by a window manager that has the window, as far as is known
  // The check window of the window manager that heard, while it lasts; none where it announced
  // none.
  xcb_window_t followed_ = XCB_WINDOW_NONE;
};

}  // namespace tempulix::x11
