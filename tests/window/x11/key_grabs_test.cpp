// The modifier arithmetic of the key grabs, as plain data: which sets a key is grabbed with, which
// presses count, where Alt and Num Lock are.
#include "key_grabs.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tempulix {
namespace {

constexpr std::uint16_t shift = XCB_MOD_MASK_SHIFT, lock = XCB_MOD_MASK_LOCK,
                        control = XCB_MOD_MASK_CONTROL, mod1 = XCB_MOD_MASK_1,
                        mod2 = XCB_MOD_MASK_2, mod4 = XCB_MOD_MASK_4;
constexpr std::uint16_t shortcut = control | mod1 | shift;

TEST(KeyGrabs, GrabbedForEveryStateOfTheLockKeys) {
  const struct {
    const char* name;
    std::uint16_t numLock;
    std::vector<std::uint16_t> sets;
  } rows[] = {
      {"Num Lock on Mod2",
       mod2,
       {shortcut, shortcut | lock, shortcut | mod2, shortcut | mod2 | lock}},
      {"no Num Lock key", 0, {shortcut, shortcut | lock}},
      {"Num Lock bound with Caps Lock", lock, {shortcut, shortcut | lock}},
  };
  for (const auto& row : rows) {
    std::vector<std::uint16_t> sets = x11::lockCombinations(shortcut, row.numLock);
    std::sort(sets.begin(), sets.end());
    std::vector<std::uint16_t> expected = row.sets;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(sets, expected) << row.name;
  }
}

TEST(KeyGrabs, APressCountsWithExactlyTheShortcutsModifiers) {
  const struct {
    const char* name;
    std::uint16_t state;
    bool counts;
  } rows[] = {
      {"the shortcut", shortcut, true},
      {"with Caps Lock on", shortcut | lock, true},
      {"with Num Lock on", shortcut | mod2, true},
      {"with a mouse button held", shortcut | XCB_BUTTON_MASK_1, true},
      {"without Shift", control | mod1, false},
      {"with Super as well", shortcut | mod4, false},
      {"nothing held", 0, false},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(x11::sameModifiers(row.state, shortcut, mod2), row.counts) << row.name;
  }
}

TEST(KeyGrabs, ModifiersFoundInTheServersMapping) {
  // Two keycodes a modifier, rows Shift, Lock, Control, Mod1 ... Mod5.
  const xcb_keycode_t mapping[16] = {50, 62, 66, 0, 37, 105, 64, 108, 77, 0, 0, 0, 133, 134, 92, 0};
  const struct {
    const char* name;
    std::vector<xcb_keycode_t> keys;
    std::uint16_t mask;
  } rows[] = {
      {"Alt_L on Mod1", {64}, mod1},    {"Alt_R, also on Mod1", {108, 204}, mod1},
      {"Num Lock on Mod2", {77}, mod2}, {"a key on no modifier", {23}, 0},
      {"Super_L on Mod4", {133}, mod4},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(x11::modifiersOf(row.keys, mapping, 2), row.mask) << row.name;
  }
  EXPECT_EQ(x11::modifiersOf({64}, nullptr, 0), 0) << "no mapping at all";
}

}  // namespace
}  // namespace tempulix
