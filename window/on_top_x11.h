// The always-on-top switch on X11: the EWMH keep-above state of one top-level window, asked of the
// window manager on a connection the caller owns and reads the events of (the program's own, Qt's).
// It asks and goes on: it never waits for the window manager, and for the X server only when it
// is made (its atoms, and which window manager is there) and once for each request (a round
// trip that shows the request has been carried out before the caller goes on). It keeps
// what was asked for, and asks again, once, whenever a window manager takes the window (sets its
// WM_STATE): one that starts after the window, or in place of one that left.
#pragma once

#include <xcb/xcb.h>

#include <array>

#include "on_top.h"
#include "xcb_owned.h"

namespace tempulix::x11 {

class OnTop {
 public:
  // root: the root window of the screen the window is on.
  OnTop(xcb_connection_t* connection, xcb_window_t root);
  OnTop(const OnTop&) = delete;
  OnTop& operator=(const OnTop&) = delete;

  // The switch as the controller calls it: exactly flagTrue asks for keep-above, any other value
  // for its end. On return flag is 1 if a window manager that lists the state was there to be
  // asked (as last seen), else 0; the handle is left as it is. Failure is silent.
  void set(WindowHandle& window, std::int16_t& flag);

  // Every event that arrives on the connection, before or after Qt has it.
  void handleEvent(const xcb_generic_event_t& event);

  // The X error code of the last request that failed at once, 0 if none.
  std::uint32_t lastError() const { return lastError_; }

 private:
  enum AtomIndex {
    wmState,
    netWmState,
    netWmStateAbove,
    netSupported,
    netSupportingWmCheck,
    count
  };

  struct Question {
    bool pending = false;
    unsigned int sequence = 0;
  };

  void ask(bool above);
  // Asks the root which window manager is there; the answers are taken by takeAnswers.
  void lookForWindowManager();
  // Takes the answers that have come (wait: waits for them).
  void takeAnswers(bool wait);
  bool answered(Question& question, bool wait, Owned<xcb_get_property_reply_t>& reply);

  xcb_connection_t* connection_;
  xcb_window_t root_;
  std::array<xcb_atom_t, count> atoms_{};
  xcb_window_t window_ = XCB_WINDOW_NONE;
  bool wanted_ = false;  // keep-above, as last asked for
  std::uint32_t lastError_ = 0;

  // Which window manager is there, followed without waiting: questions sent when the root's
  // properties change, their answers taken when they have come.
  Question rootCheck_, rootSupported_, checkWindow_;
  xcb_window_t checkWindowAsked_ = XCB_WINDOW_NONE;
  bool windowManagerRuns_ = false;
  bool listsAbove_ = false;
};

}  // namespace tempulix::x11
