// The window manager owns a window's stacking band, so keep-above is asked of it with the EWMH
// client message to the root window; it then sets _NET_WM_STATE on the window.
#include "keep_above.h"

#include <algorithm>
#include <limits>
#include <string_view>

#include "owned.h"

namespace tempulix::x11 {
namespace {

constexpr std::array<std::string_view, 5> atomNames = {"WM_STATE", "_NET_WM_STATE",
                                                       "_NET_WM_STATE_ABOVE", "_NET_SUPPORTED",
                                                       "_NET_SUPPORTING_WM_CHECK"};

// EWMH _NET_WM_STATE actions and source indication.
constexpr std::uint32_t stateRemove = 0;
constexpr std::uint32_t stateAdd = 1;
constexpr std::uint32_t sourceApplication = 1;

// The window a property names (a check window), or none.
xcb_window_t windowIn(const xcb_get_property_reply_t* reply) {
  if (!reply || reply->format != 32 || xcb_get_property_value_length(reply) < 4) {
    return XCB_WINDOW_NONE;
  }
  return *static_cast<const xcb_window_t*>(xcb_get_property_value(reply));
}

bool listsAtom(const xcb_get_property_reply_t* reply, xcb_atom_t atom) {
  if (!reply || reply->format != 32) {
    return false;
  }
  const auto* begin = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
  const auto* end = begin + xcb_get_property_value_length(reply) / 4;
  return std::find(begin, end, atom) != end;
}

Owned<xcb_get_property_reply_t> propertyReply(xcb_connection_t* connection,
                                              xcb_get_property_cookie_t cookie) {
  xcb_generic_error_t* error = nullptr;
  Owned<xcb_get_property_reply_t> reply(xcb_get_property_reply(connection, cookie, &error));
  const Owned<xcb_generic_error_t> ownedError(error);  // a window that is gone, say
  return reply;
}

}  // namespace

KeepAbove::KeepAbove(xcb_connection_t* connection) : connection_(connection) {
  if (!connection_ || xcb_connection_has_error(connection_)) {
    connection_ = nullptr;
    return;
  }
  // Every question before the first answer: one round trip.
  std::array<xcb_intern_atom_cookie_t, count> cookies{};
  for (std::size_t i = 0; i < count; ++i) {
    cookies[i] = xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(atomNames[i].size()),
                                 atomNames[i].data());
  }
  for (std::size_t i = 0; i < count; ++i) {
    const Owned<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(connection_, cookies[i], nullptr));
    atoms_[i] = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  }
}

void KeepAbove::ask(bool above) {
  xcb_client_message_event_t message{};
  message.response_type = XCB_CLIENT_MESSAGE;
  message.format = 32;
  message.window = window_;
  message.type = atoms_[netWmState];
  message.data.data32[0] = above ? stateAdd : stateRemove;
  message.data.data32[1] = atoms_[netWmStateAbove];
  message.data.data32[2] = 0;
  message.data.data32[3] = sourceApplication;
  static_assert(sizeof message == 32, "X events are 32 bytes");
  // Checked, and the check dropped: an error is never left for Qt to print.
  const xcb_void_cookie_t sent = xcb_send_event_checked(
      connection_, 0, root_,
      XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
      reinterpret_cast<const char*>(&message));
  xcb_discard_reply(connection_, sent.sequence);
  // Requests on one connection are carried out in order: one the caller sends next (destroying
  // the window, say) comes after this, and the window manager hears of it after this.
  xcb_flush(connection_);
}

xcb_window_t KeepAbove::announcedWindowManager() {
  return windowIn(propertyReply(connection_, xcb_get_property(connection_, 0, root_,
                                                              atoms_[netSupportingWmCheck],
                                                              XCB_ATOM_WINDOW, 0, 1))
                      .get());
}

void KeepAbove::followWindowManager() {
  followed_ = XCB_WINDOW_NONE;
  const xcb_window_t check = announcedWindowManager();
  if (check == XCB_WINDOW_NONE) {
    return;
  }
  // Its destruction told to this connection. A window left named by a window manager that has
  // gone is there no more: the request fails, and nothing is followed.
  const std::uint32_t events = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
  const Owned<xcb_generic_error_t> error(xcb_request_check(
      connection_,
      xcb_change_window_attributes_checked(connection_, check, XCB_CW_EVENT_MASK, &events)));
  if (!error) {
    followed_ = check;
  }
}

void KeepAbove::set(WindowHandle& window, std::int16_t& flag) {
  const bool above = flag == flagTrue;
  flag = 0;
  if (!connection_ || xcb_connection_has_error(connection_) || window == 0 ||
      window > std::numeric_limits<xcb_window_t>::max() ||
      std::find(atoms_.begin(), atoms_.end(), xcb_atom_t{XCB_ATOM_NONE}) != atoms_.end()) {
    return;
  }
  const auto id = static_cast<xcb_window_t>(window);
  // The window's root (the screen it is on), and whether a window manager has the window: it
  // sets WM_STATE on every window it manages.
  const xcb_get_geometry_cookie_t geometryAsked = xcb_get_geometry(connection_, id);
  const xcb_get_property_cookie_t stateAsked =
      xcb_get_property(connection_, 0, id, atoms_[wmState], XCB_ATOM_ANY, 0, 0);
  xcb_generic_error_t* error = nullptr;
  const Owned<xcb_get_geometry_reply_t> geometry(
      xcb_get_geometry_reply(connection_, geometryAsked, &error));
  const Owned<xcb_generic_error_t> ownedError(error);
  const Owned<xcb_get_property_reply_t> state = propertyReply(connection_, stateAsked);
  if (!geometry) {
    return;  // no such window
  }
  window_ = id;
  root_ = geometry->root;
  wanted_ = above;
  const xcb_get_property_cookie_t supportedAsked =
      xcb_get_property(connection_, 0, root_, atoms_[netSupported], XCB_ATOM_ATOM, 0,
                       std::numeric_limits<std::uint32_t>::max() / 4);
  ask(above);
  const Owned<xcb_get_property_reply_t> supported = propertyReply(connection_, supportedAsked);
  const bool managed = state && state->type != XCB_ATOM_NONE;
  heard_ = managed;
  if (managed && above) {
    followWindowManager();
  }
  if (managed && listsAtom(supported.get(), atoms_[netWmStateAbove])) {
    flag = 1;
  }
}

void KeepAbove::handleEvent(const xcb_generic_event_t& event) {
  if (!connection_ || !wanted_) {
    return;
  }
  const std::uint8_t type = event.response_type & 0x7f;
  if (type == XCB_DESTROY_NOTIFY) {
    const auto& destroyed = reinterpret_cast<const xcb_destroy_notify_event_t&>(event);
    if (followed_ != XCB_WINDOW_NONE && destroyed.window == followed_) {
      followed_ = XCB_WINDOW_NONE;
      heard_ = false;  // the window manager that heard has gone
    }
    return;
  }
  if (type != XCB_PROPERTY_NOTIFY) {
    return;
  }
  const auto& change = reinterpret_cast<const xcb_property_notify_event_t&>(event);
  if (change.window != window_ || change.atom != atoms_[wmState] ||
      change.state != XCB_PROPERTY_NEW_VALUE) {
    return;
  }
  // A window manager has taken the window, or the one that has it changed its state (minimised,
  // restored, moved to another workspace). One that heard nothing yet is asked: the first, or
  // one that came after the one that heard. One that heard and announced nothing is told from
  // one that came after it by the check window it announces.
  if (heard_ && followed_ == XCB_WINDOW_NONE && announcedWindowManager() != XCB_WINDOW_NONE) {
    heard_ = false;
  }
  if (!heard_) {
    heard_ = true;
    ask(true);
    followWindowManager();
  }
}

}  // namespace tempulix::x11
