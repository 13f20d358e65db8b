#include "client_messages.h"

#include "owned.h"

#include <QByteArray>
#include <algorithm>
#include <utility>

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

}  // namespace

Verdict classify(const xcb_client_message_event_t& message, const Atoms& atoms) {
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
  if (isOneOf(
          type, atoms,
          {Atom::xembed, Atom::netActiveWindow, Atom::netWmState, Atom::wmChangeState,
           Atom::manager, Atom::compizDecorPending, Atom::compizDecorRequest,
           Atom::compizDecorDeletePixmap, Atom::compizToolkitAction, Atom::gtkLoadIconThemes})) {
    return Verdict::pass;
  }
  return Verdict::drop;
}

X11MessageFilter::X11MessageFilter(xcb_connection_t* connection,
                                   std::function<bool(const xcb_generic_event_t&)> seen)
    : seen_(std::move(seen)) {
  if (!connection) {
    return;
  }
  // Every question first, then the answers: one round trip.
  std::array<xcb_intern_atom_cookie_t, static_cast<std::size_t>(Atom::count)> cookies{};
  for (std::size_t i = 0; i < cookies.size(); ++i) {
    cookies[i] = xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(atomNames[i].size()),
                                 atomNames[i].data());
  }
  for (std::size_t i = 0; i < cookies.size(); ++i) {
    const Owned<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(connection, cookies[i], nullptr));
    atoms_[i] = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  }
}

bool X11MessageFilter::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
  if (eventType != "xcb_generic_event_t") {
    return false;
  }
  const auto* event = static_cast<const xcb_generic_event_t*>(message);
  if (seen_ && seen_(*event)) {
    return true;
  }
  return (event->response_type & 0x7f) == XCB_CLIENT_MESSAGE &&
         classify(*reinterpret_cast<const xcb_client_message_event_t*>(event), atoms_) ==
             Verdict::drop;
}

}  // namespace tempulix::x11
