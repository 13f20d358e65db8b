// The X11 client messages that reach the program from other clients, and what becomes of them
// before Qt sees them. Any client may send any window a client message. The stopwatch takes part
// in no drag and drop, so no drag-and-drop message may reach Qt: one naming the stopwatch's own
// window as its source makes Qt take that window's events for the drag's, and its input dies. A
// message of a kind Qt does not handle only makes Qt print a line, so it is dropped quietly.
// Everything else goes on to Qt unchanged.
//
// The decision (classify) is plain data; X11MessageFilter applies it to Qt's xcb events, and
// shows every event to whoever follows them (the on-top switch and the key grabs do).
#pragma once

#include <xcb/xcb.h>

#include <QAbstractNativeEventFilter>
#include <array>
#include <functional>
#include <string_view>

namespace tempulix::x11 {

// The atoms the decision needs, interned on the program's connection.
enum class Atom {
  wmProtocols,  // the protocols Qt answers, by their data
  wmDeleteWindow,
  wmTakeFocus,
  netWmPing,
  netWmSyncRequest,
  netWmContextHelp,
  xembed,  // other kinds Qt handles
  netActiveWindow,
  netWmState,
  wmChangeState,
  manager,  // a selection's new owner (a system tray's, say), which Qt reads
  compizDecorPending,
  compizDecorRequest,
  compizDecorDeletePixmap,
  compizToolkitAction,
  gtkLoadIconThemes,
  xdndEnter,  // drag and drop: never for this program
  xdndPosition,
  xdndStatus,
  xdndLeave,
  xdndDrop,
  xdndFinished,
  count
};
using Atoms = std::array<xcb_atom_t, static_cast<std::size_t>(Atom::count)>;
extern const std::array<std::string_view, static_cast<std::size_t>(Atom::count)> atomNames;

enum class Verdict { pass, drop };

// What to do with a client message.
Verdict classify(const xcb_client_message_event_t& message, const Atoms& atoms);

// Applies classify to the xcb events of a connection (the application's), on the main thread.
class X11MessageFilter : public QAbstractNativeEventFilter {
 public:
  // Interns the atoms on the connection (one round trip); installs nothing. seen is shown every
  // event first, errors and those dropped included; one it takes (returns true for) goes no
  // further.
  X11MessageFilter(xcb_connection_t* connection,
                   std::function<bool(const xcb_generic_event_t&)> seen);
  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

 private:
  std::function<bool(const xcb_generic_event_t&)> seen_;
  Atoms atoms_{};
};

}  // namespace tempulix::x11
