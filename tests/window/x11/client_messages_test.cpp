// Which client messages from other X clients reach Qt: a table test on plain data.
#include "client_messages.h"

#include <gtest/gtest.h>

namespace tempulix {
namespace {

using x11::Atom;
using x11::Verdict;

// Atoms numbered 100, 101, ... in the order of the list; the window manager's selection is 90.
x11::Atoms numbered() {
  x11::Atoms atoms{};
  for (std::size_t i = 0; i < atoms.size(); ++i) {
    atoms[i] = static_cast<xcb_atom_t>(100 + i);
  }
  return atoms;
}
constexpr xcb_atom_t windowManagerSelection = 90;

xcb_atom_t id(Atom atom) {
  return numbered()[static_cast<std::size_t>(atom)];
}

xcb_client_message_event_t message(xcb_atom_t type, std::uint32_t first = 0,
                                   std::uint32_t second = 0, std::uint8_t format = 32) {
  xcb_client_message_event_t event{};
  event.response_type = XCB_CLIENT_MESSAGE;
  event.format = format;
  event.type = type;
  event.data.data32[0] = first;
  event.data.data32[1] = second;
  return event;
}

TEST(ClientMessages, EachKindGoesWhereItShould) {
  const struct {
    const char* what;
    xcb_client_message_event_t event;
    Verdict verdict;
  } rows[] = {
      {"closing, from the window manager", message(id(Atom::wmProtocols), id(Atom::wmDeleteWindow)),
       Verdict::pass},
      {"the window manager's ping", message(id(Atom::wmProtocols), id(Atom::netWmPing)),
       Verdict::pass},
      {"a protocol Qt does not answer", message(id(Atom::wmProtocols), 12345), Verdict::drop},
      {"a drag entering, from the window itself or anyone",
       message(id(Atom::xdndEnter), 0x400006, 5u << 24), Verdict::drop},
      {"a drag's position", message(id(Atom::xdndPosition)), Verdict::drop},
      {"a drop", message(id(Atom::xdndDrop)), Verdict::drop},
      {"a drag source's answers", message(id(Atom::xdndStatus)), Verdict::drop},
      {"a drag's end", message(id(Atom::xdndFinished)), Verdict::drop},
      {"a window manager arriving", message(id(Atom::manager), 0, windowManagerSelection),
       Verdict::pass},
      {"a system tray arriving", message(id(Atom::manager), 0, 91), Verdict::pass},
      {"embedding", message(id(Atom::xembed)), Verdict::pass},
      {"a state request", message(id(Atom::netWmState)), Verdict::pass},
      {"a kind nobody knows", message(7777), Verdict::drop},
      {"a kind of no atom at all", message(XCB_ATOM_NONE), Verdict::drop},
      {"not of 32-bit data, which Qt never reads", message(7777, 0, 0, 8), Verdict::pass},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(x11::classify(row.event, numbered()), row.verdict) << row.what;
  }
}

}  // namespace
}  // namespace tempulix
