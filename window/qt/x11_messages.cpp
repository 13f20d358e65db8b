#include "x11_messages.h"

#include <QGuiApplication>
#include <QMetaObject>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace tempulix::x11 {

const std::array<std::string_view, static_cast<std::size_t>(Atom::count)> atomNames = {
    "WM_PROTOCOLS",
    "WM_DELETE_WINDOW",
    "WM_TAKE_FOCUS",
    "_NET_WM_PING",
    "_NET_WM_SYNC_REQUEST",
    "_NET_WM_CONTEXT_HELP",
    "_XEMBED",
    "_NET_ACTIVE_WINDOW",
    "_NET_WM_STATE",
    "WM_CHANGE_STATE",
    "MANAGER",
    "_COMPIZ_DECOR_PENDING",
    "_COMPIZ_DECOR_REQUEST",
    "_COMPIZ_DECOR_DELETE_PIXMAP",
    "_COMPIZ_TOOLKIT_ACTION",
    "_GTK_LOAD_ICONTHEMES",
    "XdndEnter",
    "XdndPosition",
    "XdndStatus",
    "XdndLeave",
    "XdndDrop",
    "XdndFinished",
};

namespace {

xcb_atom_t atom(const Atoms& atoms, Atom which) {
  return atoms[static_cast<std::size_t>(which)];
}

bool isOneOf(xcb_atom_t value, const Atoms& atoms, std::initializer_list<Atom> which) {
  return value != XCB_ATOM_NONE &&
         std::any_of(which.begin(), which.end(), [&](Atom a) { return atom(atoms, a) == value; });
}

struct Free {
  void operator()(void* memory) const { std::free(memory); }
};

}  // namespace

Verdict classify(const xcb_client_message_event_t& message, const Atoms& atoms,
                 xcb_atom_t windowManagerSelection) {
  if (message.format != 32) {
    return Verdict::pass;  // Qt reads none of these
  }
  const xcb_atom_t type = message.type;
  if (isOneOf(type, atoms,
              {Atom::xdndEnter, Atom::xdndPosition, Atom::xdndStatus, Atom::xdndLeave,
               Atom::xdndDrop, Atom::xdndFinished})) {
    return Verdict::drop;
  }
  if (type == atom(atoms, Atom::wmProtocols)) {
    const bool answered = isOneOf(message.data.data32[0], atoms,
                                  {Atom::wmDeleteWindow, Atom::wmTakeFocus, Atom::netWmPing,
                                   Atom::netWmSyncRequest, Atom::netWmContextHelp});
    return answered ? Verdict::pass : Verdict::drop;
  }
  if (type == atom(atoms, Atom::manager)) {
    // data: time stamp, the selection, its owner
    const bool windowManager =
        windowManagerSelection != XCB_ATOM_NONE && message.data.data32[1] == windowManagerSelection;
    return windowManager ? Verdict::windowManagerArrived : Verdict::pass;
  }
  if (isOneOf(type, atoms,
              {Atom::xembed, Atom::netActiveWindow, Atom::netWmState, Atom::wmChangeState,
               Atom::compizDecorPending, Atom::compizDecorRequest, Atom::compizDecorDeletePixmap,
               Atom::compizToolkitAction, Atom::gtkLoadIconThemes})) {
    return Verdict::pass;
  }
  return Verdict::drop;
}

bool announcesWindowManager(const xcb_property_notify_event_t& change, xcb_window_t root,
                            xcb_atom_t supportingWmCheck) {
  return root != XCB_WINDOW_NONE && supportingWmCheck != XCB_ATOM_NONE && change.window == root &&
         change.atom == supportingWmCheck && change.state == XCB_PROPERTY_NEW_VALUE;
}

X11MessageFilter::X11MessageFilter(std::function<void()> onWindowManager)
    : onWindowManager_(std::move(onWindowManager)) {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
  if (!connection) {
    return;
  }
  // Every question first, then the answers: one round trip.
  std::array<xcb_intern_atom_cookie_t, static_cast<std::size_t>(Atom::count)> cookies{};
  for (std::size_t i = 0; i < cookies.size(); ++i) {
    cookies[i] = xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(atomNames[i].size()),
                                 atomNames[i].data());
  }
  // The window manager's selection for the screen the program opened its window on.
  int screen = 0;
  char* host = nullptr;
  int display = 0;
  if (xcb_parse_display(nullptr, &host, &display, &screen) == 0) {
    screen = 0;
  }
  std::free(host);
  const std::string selection = "WM_S" + std::to_string(screen);
  const xcb_intern_atom_cookie_t selectionCookie = xcb_intern_atom(
      connection, 0, static_cast<std::uint16_t>(selection.size()), selection.data());
  constexpr std::string_view check = "_NET_SUPPORTING_WM_CHECK";
  const xcb_intern_atom_cookie_t checkCookie =
      xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(check.size()), check.data());
  xcb_screen_iterator_t roots = xcb_setup_roots_iterator(xcb_get_setup(connection));
  for (int i = 0; i < screen && roots.rem > 0; ++i) {
    xcb_screen_next(&roots);
  }
  if (roots.rem > 0) {
    root_ = roots.data->root;
  }
  for (std::size_t i = 0; i < cookies.size(); ++i) {
    std::unique_ptr<xcb_intern_atom_reply_t, Free> reply(
        xcb_intern_atom_reply(connection, cookies[i], nullptr));
    atoms_[i] = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  }
  std::unique_ptr<xcb_intern_atom_reply_t, Free> reply(
      xcb_intern_atom_reply(connection, selectionCookie, nullptr));
  windowManagerSelection_ = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  reply.reset(xcb_intern_atom_reply(connection, checkCookie, nullptr));
  supportingWmCheck_ = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

bool X11MessageFilter::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
  if (eventType != "xcb_generic_event_t") {
    return false;
  }
  const auto* event = static_cast<const xcb_generic_event_t*>(message);
  const auto kind = event->response_type & 0x7f;
  if (kind == XCB_PROPERTY_NOTIFY) {
    // Qt watches the root window's properties itself, so these come anyway.
    if (onWindowManager_ &&
        announcesWindowManager(*reinterpret_cast<const xcb_property_notify_event_t*>(event), root_,
                               supportingWmCheck_)) {
      QMetaObject::invokeMethod(qGuiApp, onWindowManager_, Qt::QueuedConnection);
    }
    return false;
  }
  if (kind != XCB_CLIENT_MESSAGE) {
    return false;
  }
  switch (classify(*reinterpret_cast<const xcb_client_message_event_t*>(event), atoms_,
                   windowManagerSelection_)) {
    case Verdict::drop:
      return true;
    case Verdict::windowManagerArrived:
      if (onWindowManager_) {
        QMetaObject::invokeMethod(qGuiApp, onWindowManager_, Qt::QueuedConnection);
      }
      return false;  // Qt's own tray tracking reads it too
    case Verdict::pass:
      break;
  }
  return false;
}

bool eventReaderRunning(const char* tasks) {
  std::error_code error;
  for (const auto& task : std::filesystem::directory_iterator(tasks, error)) {
    std::ifstream comm(task.path() / "comm");
    std::string name;
    if (std::getline(comm, name) && name == "QXcbEventQueue") {
      return true;
    }
  }
  return false;
}

}  // namespace tempulix::x11
