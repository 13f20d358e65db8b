// X11 backend: the window manager owns a window's stacking band, so keep-above is asked of it
// with the EWMH client message to the root window; it then sets _NET_WM_STATE on the window.
#include "on_top_x11.h"

#include <xcb/xcbext.h>

#include <algorithm>
#include <limits>
#include <string_view>

#include "xcb_owned.h"

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

}  // namespace

OnTop::OnTop(xcb_connection_t* connection, xcb_window_t root)
    : connection_(connection), root_(root) {
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
  // Which window manager is there now, waited for once, before any window is shown.
  lookForWindowManager();
  takeAnswers(true);
}

void OnTop::lookForWindowManager() {
  if (!connection_) {
    return;
  }
  for (Question* question : {&rootCheck_, &rootSupported_}) {
    if (question->pending) {
      xcb_discard_reply(connection_, question->sequence);
    }
  }
  rootCheck_ = {true, xcb_get_property(connection_, 0, root_, atoms_[netSupportingWmCheck],
                                       XCB_ATOM_WINDOW, 0, 1)
                          .sequence};
  rootSupported_ = {true,
                    xcb_get_property(connection_, 0, root_, atoms_[netSupported], XCB_ATOM_ATOM, 0,
                                     std::numeric_limits<std::uint32_t>::max() / 4)
                        .sequence};
  xcb_flush(connection_);
}

bool OnTop::answered(Question& question, bool wait, Owned<xcb_get_property_reply_t>& reply) {
  if (!question.pending) {
    return false;
  }
  void* answer = nullptr;
  xcb_generic_error_t* error = nullptr;
  if (wait) {
    answer = xcb_wait_for_reply(connection_, question.sequence, &error);
  } else if (!xcb_poll_for_reply(connection_, question.sequence, &answer, &error)) {
    return false;
  }
  const Owned<xcb_generic_error_t> ownedError(error);  // a check window that is gone, say
  question.pending = false;
  reply.reset(static_cast<xcb_get_property_reply_t*>(answer));
  return true;
}

void OnTop::takeAnswers(bool wait) {
  if (!connection_) {
    return;
  }
  Owned<xcb_get_property_reply_t> reply;
  if (answered(rootCheck_, wait, reply)) {
    // A window manager runs if the window the root names names itself too: a window manager
    // that has gone leaves the root's property behind, but its window goes with it.
    if (checkWindow_.pending) {
      xcb_discard_reply(connection_, checkWindow_.sequence);
    }
    checkWindow_ = {};
    checkWindowAsked_ = windowIn(reply.get());
    windowManagerRuns_ = false;
    if (checkWindowAsked_ != XCB_WINDOW_NONE) {
      checkWindow_ = {true, xcb_get_property(connection_, 0, checkWindowAsked_,
                                             atoms_[netSupportingWmCheck], XCB_ATOM_WINDOW, 0, 1)
                                .sequence};
      xcb_flush(connection_);
    }
  }
  if (answered(rootSupported_, wait, reply)) {
    listsAbove_ = listsAtom(reply.get(), atoms_[netWmStateAbove]);
  }
  if (answered(checkWindow_, wait, reply)) {
    windowManagerRuns_ = windowIn(reply.get()) == checkWindowAsked_;
  }
}

void OnTop::ask(bool above) {
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
  xcb_flush(connection_);
}

void OnTop::set(WindowHandle& window, std::int16_t& flag) {
  const bool above = flag == flagTrue;
  flag = 0;
  lastError_ = 0;
  if (!connection_ || xcb_connection_has_error(connection_) || window == 0 ||
      window > std::numeric_limits<xcb_window_t>::max() ||
      std::find(atoms_.begin(), atoms_.end(), xcb_atom_t{XCB_ATOM_NONE}) != atoms_.end()) {
    return;
  }
  window_ = static_cast<xcb_window_t>(window);
  wanted_ = above;
  const xcb_get_geometry_cookie_t exists = xcb_get_geometry(connection_, window_);
  ask(above);
  // One round trip to the server, never to the window manager: the window is there, and the
  // request has been carried out (handed to the window manager) before the caller goes on, say
  // to destroy the window, which the window manager then hears of after it.
  xcb_generic_error_t* error = nullptr;
  const Owned<xcb_get_geometry_reply_t> geometry(
      xcb_get_geometry_reply(connection_, exists, &error));
  const Owned<xcb_generic_error_t> ownedError(error);
  if (ownedError) {
    lastError_ = ownedError->error_code;
  }
  takeAnswers(false);
  if (geometry && windowManagerRuns_ && listsAbove_) {
    flag = 1;
  }
}

void OnTop::handleEvent(const xcb_generic_event_t& event) {
  if (!connection_ || (event.response_type & 0x7f) != XCB_PROPERTY_NOTIFY) {
    return;
  }
  const auto& change = reinterpret_cast<const xcb_property_notify_event_t&>(event);
  if (change.window == root_ &&
      (change.atom == atoms_[netSupportingWmCheck] || change.atom == atoms_[netSupported])) {
    lookForWindowManager();  // a window manager came, went or changed what it supports
  } else if (change.window == window_ && window_ != XCB_WINDOW_NONE &&
             change.atom == atoms_[wmState] && change.state == XCB_PROPERTY_NEW_VALUE && wanted_) {
    // A window manager has taken the window (one that came late, or in place of another): it
    // hears the request for a window it manages.
    ask(true);
  }
}

}  // namespace tempulix::x11
