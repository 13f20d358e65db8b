// X11 backend: asks the window manager for the EWMH keep-above state. A window's stacking band
// belongs to the window manager on X11, so the request goes to the root window as a client
// message; the window manager then sets _NET_WM_STATE on the window.
#include <xcb/xcb.h>

#include <poll.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <limits>
#include <memory>
#include <string_view>

#include "on_top.h"

namespace tempulix {
namespace {

std::uint32_t lastError = 0;

struct Disconnect {
  void operator()(xcb_connection_t* connection) const { xcb_disconnect(connection); }
};
using Connection = std::unique_ptr<xcb_connection_t, Disconnect>;

// xcb hands out replies and errors allocated with malloc.
struct Free {
  void operator()(void* memory) const { std::free(memory); }
};
template <typename T>
using Owned = std::unique_ptr<T, Free>;

// Fetches a reply, recording the X error code if the request failed.
template <typename Reply, typename Cookie, typename ReplyFunction>
Owned<Reply> reply(xcb_connection_t* connection, Cookie cookie, ReplyFunction replyFunction) {
  xcb_generic_error_t* error = nullptr;
  Owned<Reply> result(replyFunction(connection, cookie, &error));
  Owned<xcb_generic_error_t> ownedError(error);
  if (ownedError) {
    lastError = ownedError->error_code;
  }
  return result;
}

enum AtomIndex { wmState, wmStateAbove, supported, supportingWmCheck, atomCount };
constexpr std::array<std::string_view, atomCount> atomNames = {
    "_NET_WM_STATE", "_NET_WM_STATE_ABOVE", "_NET_SUPPORTED", "_NET_SUPPORTING_WM_CHECK"};

// EWMH _NET_WM_STATE actions and source indication.
constexpr std::uint32_t stateRemove = 0;
constexpr std::uint32_t stateAdd = 1;
constexpr std::uint32_t sourceApplication = 1;

Owned<xcb_get_property_reply_t> property(xcb_connection_t* connection, xcb_window_t window,
                                         xcb_atom_t name, xcb_atom_t type,
                                         std::uint32_t longLength) {
  return reply<xcb_get_property_reply_t>(
      connection, xcb_get_property(connection, 0, window, name, type, 0, longLength),
      xcb_get_property_reply);
}

// True if the window's property, a list of atoms, holds the atom.
bool listsAtom(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t list,
               xcb_atom_t atom) {
  const auto value = property(connection, window, list, XCB_ATOM_ATOM,
                              std::numeric_limits<std::uint32_t>::max() / 4);
  if (!value || value->format != 32) {
    return false;
  }
  const auto* begin = static_cast<const xcb_atom_t*>(xcb_get_property_value(value.get()));
  const auto* end = begin + xcb_get_property_value_length(value.get()) / 4;
  return std::find(begin, end, atom) != end;
}

// The window a compliant window manager names on the root and on the window itself.
xcb_window_t supportingWindow(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t check) {
  const auto value = property(connection, window, check, XCB_ATOM_WINDOW, 1);
  if (!value || value->format != 32 || xcb_get_property_value_length(value.get()) < 4) {
    return XCB_WINDOW_NONE;
  }
  return *static_cast<const xcb_window_t*>(xcb_get_property_value(value.get()));
}

// True if a window manager is running now (not merely left its properties behind) and lists
// the keep-above state among those it supports.
bool windowManagerSupportsAbove(xcb_connection_t* connection, xcb_window_t root,
                                const std::array<xcb_atom_t, atomCount>& atoms) {
  const xcb_window_t wm = supportingWindow(connection, root, atoms[supportingWmCheck]);
  if (wm == XCB_WINDOW_NONE || supportingWindow(connection, wm, atoms[supportingWmCheck]) != wm) {
    return false;
  }
  return listsAtom(connection, root, atoms[supported], atoms[wmStateAbove]);
}

bool hasAbove(xcb_connection_t* connection, xcb_window_t window,
              const std::array<xcb_atom_t, atomCount>& atoms) {
  return listsAtom(connection, window, atoms[wmState], atoms[wmStateAbove]);
}

// The window manager applies the request in its own time, and ignores it once the window is
// being unmapped. Waiting (briefly) for it makes the switch take effect before the caller goes on,
// as on Windows, so that turning it off just before the window closes is not lost.
void awaitState(xcb_connection_t* connection, xcb_window_t window, bool above,
                const std::array<xcb_atom_t, atomCount>& atoms) {
  constexpr auto patience = std::chrono::milliseconds(250);
  const auto deadline = std::chrono::steady_clock::now() + patience;
  pollfd descriptor{xcb_get_file_descriptor(connection), POLLIN, 0};
  while (hasAbove(connection, window, atoms) != above) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0 || poll(&descriptor, 1, static_cast<int>(left.count())) <= 0) {
      return;
    }
    while (Owned<xcb_generic_event_t> event{xcb_poll_for_event(connection)}) {
    }
    if (xcb_connection_has_error(connection)) {
      return;
    }
  }
}

bool requestAbove(WindowHandle handle, bool above) {
  if (handle == 0 || handle > std::numeric_limits<xcb_window_t>::max()) {
    return false;
  }
  const auto window = static_cast<xcb_window_t>(handle);
  Connection connection(xcb_connect(nullptr, nullptr));
  if (xcb_connection_has_error(connection.get())) {
    return false;
  }
  xcb_connection_t* const c = connection.get();

  // Send every question before waiting for the first answer: one round trip, not five.
  const xcb_query_tree_cookie_t treeCookie = xcb_query_tree(c, window);
  std::array<xcb_intern_atom_cookie_t, atomCount> atomCookies{};
  for (std::size_t i = 0; i < atomCount; ++i) {
    // Only existing atoms: a display where no window manager made them has nothing to ask.
    atomCookies[i] =
        xcb_intern_atom(c, 1, static_cast<std::uint16_t>(atomNames[i].size()), atomNames[i].data());
  }
  const auto tree = reply<xcb_query_tree_reply_t>(c, treeCookie, xcb_query_tree_reply);
  std::array<xcb_atom_t, atomCount> atoms{};
  for (std::size_t i = 0; i < atomCount; ++i) {
    const auto atom = reply<xcb_intern_atom_reply_t>(c, atomCookies[i], xcb_intern_atom_reply);
    atoms[i] = atom ? atom->atom : xcb_atom_t{XCB_ATOM_NONE};
  }
  if (!tree) {
    return false;  // not a window on this display
  }
  for (const xcb_atom_t atom : atoms) {
    if (atom == XCB_ATOM_NONE) {
      return false;
    }
  }
  if (!windowManagerSupportsAbove(c, tree->root, atoms)) {
    return false;
  }

  // Property changes on the window wake the wait below; the mask is this connection's own.
  const std::uint32_t eventMask = XCB_EVENT_MASK_PROPERTY_CHANGE;
  xcb_change_window_attributes(c, window, XCB_CW_EVENT_MASK, &eventMask);

  xcb_client_message_event_t message{};
  message.response_type = XCB_CLIENT_MESSAGE;
  message.format = 32;
  message.window = window;
  message.type = atoms[wmState];
  message.data.data32[0] = above ? stateAdd : stateRemove;
  message.data.data32[1] = atoms[wmStateAbove];
  message.data.data32[2] = 0;
  message.data.data32[3] = sourceApplication;
  static_assert(sizeof message == 32, "X events are 32 bytes");
  const xcb_void_cookie_t sent = xcb_send_event_checked(
      c, 0, tree->root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
      reinterpret_cast<const char*>(&message));
  // The check is a round trip, so the message has reached the server before we disconnect.
  const Owned<xcb_generic_error_t> error(xcb_request_check(c, sent));
  if (error) {
    lastError = error->error_code;
    return false;
  }
  awaitState(c, window, above, atoms);
  return true;
}

}  // namespace

void setOnTop(WindowHandle& windowHandle, std::int16_t& flag) {
  lastError = 0;
  flag = requestAbove(windowHandle, flag == flagTrue) ? 1 : 0;
}

std::uint32_t lastOnTopError() {
  return lastError;
}

}  // namespace tempulix
