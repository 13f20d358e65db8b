// Which look the Windows window takes, and which title-bar attribute it asks for, from the
// user's settings and the Windows build.
#include "appearance.h"

#include <gtest/gtest.h>

namespace tempulix::win32 {
namespace {

TEST(AppearanceTest, AppModeHighContrastAndBuild) {
  constexpr std::uint32_t vista = 6002, win10_1803 = 17134, win10_1809 = 17763, win10_1909 = 18363,
                          win10_20h1 = 19041, win11 = 22631;
  const struct {
    const char* name;
    AppearanceSettings settings;
    Look look;
    std::uint32_t attribute;
  } rows[] = {
      {"dark app mode on Windows 11", {0u, false, win11}, Look::dark, 20},
      {"light app mode", {1u, false, win11}, Look::light, 20},
      {"no app mode set means light", {std::nullopt, false, win11}, Look::light, 20},
      {"any value but 0 is light", {2u, false, win11}, Look::light, 20},
      {"high contrast is never dark", {0u, true, win11}, Look::highContrast, 20},
      {"high contrast, light app mode", {1u, true, win11}, Look::highContrast, 20},
      {"Windows 10 20H1 has the documented attribute", {0u, false, win10_20h1}, Look::dark, 20},
      {"Windows 10 1909 has the early one", {0u, false, win10_1909}, Look::dark, 19},
      {"Windows 10 1809 has the early one", {0u, false, win10_1809}, Look::dark, 19},
      {"the last build of the early one", {0u, false, 18984}, Look::dark, 19},
      {"the first build of the documented one", {0u, false, 18985}, Look::dark, 20},
      {"Windows 10 1803: no dark title bar", {0u, false, win10_1803}, Look::dark, 0},
      {"Vista: neither", {std::nullopt, false, vista}, Look::light, 0},
      {"build unknown", {0u, false, 0}, Look::dark, 0},
  };
  for (const auto& row : rows) {
    const Appearance appearance = chooseAppearance(row.settings);
    EXPECT_EQ(appearance.look, row.look) << row.name;
    EXPECT_EQ(appearance.titleBarAttribute, row.attribute) << row.name;
  }
}

}  // namespace
}  // namespace tempulix::win32
