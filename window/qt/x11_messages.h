// The X11 client messages that reach the program from other clients, and what becomes of them
// before Qt sees them. Any client may send any window a client message. The stopwatch takes part
// in no drag and drop, so no drag-and-drop message may reach Qt: one naming the stopwatch's own
// window as its source makes Qt take that window's events for the drag's, and its input dies. A
// message of a kind Qt does not handle only makes Qt print a line, so it is dropped quietly. A
// window manager's arrival is told to the caller, who asks it to keep the window above again:
// seen as ICCCM's MANAGER message for WM_Sn on the root window, or as the root window's
// _NET_SUPPORTING_WM_CHECK being set, since openbox and fluxbox send no MANAGER message and
// xfwm4 sends one of the wrong type. Everything else goes on to Qt unchanged.
//
// The decision (classify) is plain data; X11MessageFilter applies it to Qt's xcb events.
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
  manager,
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

enum class Verdict { pass, drop, windowManagerArrived };

// What to do with a client message. windowManagerSelection: the WM_Sn atom of the screen (a
// manager of another selection, a system tray say, is passed on).
Verdict classify(const xcb_client_message_event_t& message, const Atoms& atoms,
                 xcb_atom_t windowManagerSelection);

// Whether a property change is a window manager naming its check window on the root window.
bool announcesWindowManager(const xcb_property_notify_event_t& change, xcb_window_t root,
                            xcb_atom_t supportingWmCheck);

// Applies classify to the xcb events of the application's connection; onWindowManager runs
// (on the main thread, after the event) when a window manager has arrived.
class X11MessageFilter : public QAbstractNativeEventFilter {
 public:
  // Interns the atoms on the application's X connection; installs nothing.
  explicit X11MessageFilter(std::function<void()> onWindowManager);
  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

 private:
  std::function<void()> onWindowManager_;
  Atoms atoms_{};
  xcb_atom_t windowManagerSelection_ = XCB_ATOM_NONE;
  xcb_atom_t supportingWmCheck_ = XCB_ATOM_NONE;
  xcb_window_t root_ = XCB_WINDOW_NONE;
};

// Whether Qt's thread that reads the X server's events still runs, as the process's thread list
// names it (tasks: a /proc/PID/task folder). A client message of the type Qt sends itself to
// end that thread at exit (_QT_CLOSE_CONNECTION) ends it from any client, before the program can
// see the message, and no input reaches the program after that.
bool eventReaderRunning(const char* tasks = "/proc/self/task");

}  // namespace tempulix::x11
