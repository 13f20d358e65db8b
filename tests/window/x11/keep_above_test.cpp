// The X11 backend against a real server: a plain window made here, its _NET_WM_STATE read back
// from the server after each call (the switch does not wait for the window manager; the test
// does). The suites are run by CTest under the conditions they name.
#include <xcb/xcb.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "keep_above.h"
#include "owned.h"

namespace tempulix {
namespace {

using x11::Owned;

// Waits for a condition the window manager brings about in its own time; at most 5 s.
bool eventually(const std::function<bool()>& condition) {
  for (int i = 0; i < 250; ++i) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return condition();
}

class TestWindow {
 public:
  TestWindow() : connection_(xcb_connect(nullptr, nullptr)) {
    if (xcb_connection_has_error(connection_)) return;
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
    root_ = screen->root;
    window_ = xcb_generate_id(connection_);
    xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window_, root_, 40, 50, 318, 138, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
    xcb_map_window(connection_, window_);
    xcb_flush(connection_);
  }
  ~TestWindow() { xcb_disconnect(connection_); }
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;

  bool connected() const { return !xcb_connection_has_error(connection_); }
  xcb_connection_t* connection() const { return connection_; }
  xcb_window_t root() const { return root_; }
  WindowHandle handle() const { return window_; }

  xcb_atom_t atom(const char* name) {
    Owned<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection_, xcb_intern_atom(connection_, 0, std::strlen(name), name), nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  }

  // The atoms in the window's _NET_WM_STATE, or none if it has no such property.
  std::vector<xcb_atom_t> state() {
    Owned<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection_,
        xcb_get_property(connection_, 0, window_, atom("_NET_WM_STATE"), XCB_ATOM_ATOM, 0, 64),
        nullptr));
    if (!reply || reply->format != 32) return {};
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
    return {atoms, atoms + xcb_get_property_value_length(reply.get()) / 4};
  }
  bool above() {
    const xcb_atom_t wanted = atom("_NET_WM_STATE_ABOVE");
    for (const xcb_atom_t a : state()) {
      if (a == wanted) return true;
    }
    return false;
  }
  bool managed() {
    Owned<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection_,
        xcb_get_property(connection_, 0, window_, atom("WM_STATE"), XCB_ATOM_ANY, 0, 2), nullptr));
    return reply && reply->value_len > 0;
  }
  // Position on the screen and size, as x, y, width, height.
  std::vector<int> geometry() {
    Owned<xcb_get_geometry_reply_t> size(
        xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window_), nullptr));
    Owned<xcb_translate_coordinates_reply_t> place(xcb_translate_coordinates_reply(
        connection_, xcb_translate_coordinates(connection_, window_, root_, 0, 0), nullptr));
    if (!size || !place) return {};
    return {place->dst_x, place->dst_y, size->width, size->height};
  }

 private:
  xcb_connection_t* connection_;
  xcb_window_t root_ = XCB_WINDOW_NONE;
  xcb_window_t window_ = XCB_WINDOW_NONE;
};

// The switch on a connection of its own, as the program's is Qt's.
class Switch {
 public:
  Switch()
      : connection_(xcb_connect(nullptr, nullptr)),
        onTop_(std::make_unique<x11::KeepAbove>(connection_)) {}
  ~Switch() {
    onTop_.reset();
    xcb_disconnect(connection_);
  }
  std::int16_t operator()(WindowHandle handle, std::int16_t flag) {
    onTop_->set(handle, flag);
    return flag;
  }
  x11::KeepAbove& onTop() { return *onTop_; }

 private:
  xcb_connection_t* connection_;
  std::unique_ptr<x11::KeepAbove> onTop_;
};

std::int16_t callSetOnTop(WindowHandle handle, std::int16_t flag) {
  return Switch()(handle, flag);
}

TEST(KeepAboveWithWindowManager, FlagTrueOnAnythingElseOffGeometryKept) {
  TestWindow window;
  ASSERT_TRUE(window.connected());
  ASSERT_TRUE(eventually([&] { return window.managed(); })) << "the window manager never took it";
  const std::vector<int> before = window.geometry();
  ASSERT_EQ(before.size(), 4u);

  const struct {
    std::int16_t flag;
    bool above;
  } rows[] = {{flagTrue, true}, {flagFalse, false}, {flagTrue, true},
              {1, false},  // only exactly -1 means on
              {flagTrue, true}, {-2, false},        {flagFalse, false}};
  for (const auto& row : rows) {
    EXPECT_EQ(callSetOnTop(window.handle(), row.flag), 1) << "flag " << row.flag;
    EXPECT_TRUE(eventually([&] { return window.above() == row.above; })) << "flag " << row.flag;
    EXPECT_EQ(window.geometry(), before) << "flag " << row.flag;
  }
}

TEST(KeepAboveWithWindowManager, HandleBothArgumentsByReference) {
  TestWindow window;
  ASSERT_TRUE(eventually([&] { return window.managed(); }));
  WindowHandle handle = window.handle();
  std::int16_t flag = flagTrue;
  Switch().onTop().set(handle, flag);
  EXPECT_EQ(flag, 1) << "the result is written back";
  EXPECT_EQ(handle, window.handle());
}

TEST(KeepAboveWithWindowManager, BadHandlesGiveZero) {
  TestWindow window;  // keeps the display busy with a real window beside the bad ones
  for (const WindowHandle bad : {WindowHandle{0}, WindowHandle{0x7ffffff}, WindowHandle{~0u},
                                 static_cast<WindowHandle>(0x1'0000'0000ULL)}) {
    EXPECT_EQ(callSetOnTop(bad, flagTrue), 0) << bad;
    EXPECT_EQ(callSetOnTop(bad, flagFalse), 0) << bad;
  }
}

TEST(KeepAboveWithoutWindowManager, GivesZeroAndLeavesTheWindowAlone) {
  TestWindow window;
  ASSERT_TRUE(window.connected());
  EXPECT_EQ(callSetOnTop(window.handle(), flagTrue), 0);
  EXPECT_EQ(callSetOnTop(window.handle(), flagFalse), 0);
  EXPECT_TRUE(window.state().empty());
}

TEST(KeepAboveWithoutServer, GivesZero) {
  for (const char* display :
       {":59999", "", "no-such-host-xyz.invalid:0", static_cast<const char*>(nullptr)}) {
    if (display) {
      setenv("DISPLAY", display, 1);
    } else {
      unsetenv("DISPLAY");
    }
    EXPECT_EQ(callSetOnTop(0x400001, flagTrue), 0) << (display ? display : "(unset)");
    EXPECT_EQ(callSetOnTop(0x400001, flagFalse), 0) << (display ? display : "(unset)");
  }
}

}  // namespace
}  // namespace tempulix
