// Which colours the window takes, from what the desktop asks and what the platform gives.
#include "window_palette.h"

#include <gtest/gtest.h>

namespace tempulix::palette {
namespace {

TEST(WindowPaletteTest, DarkOnlyWhereAskedForAndNotGivenNorOverruled) {
  using P = SchemePreference;
  const struct {
    const char* name;
    Situation situation;
    Choice expected;
  } rows[] = {
      {"dark asked, light given (GTK theme, Qt 6.4)", {P::dark, false, false, false}, Choice::dark},
      {"dark asked and given (KDE colours)", {P::dark, false, false, true}, Choice::platform},
      {"light asked, light given", {P::light, false, false, false}, Choice::platform},
      {"light asked, dark given: never made light",
       {P::light, false, false, true},
       Choice::platform},
      {"nothing asked", {P::none, false, false, false}, Choice::platform},
      {"high contrast: the platform's colours only",
       {P::dark, true, false, false},
       Choice::platform},
      {"the user's own theme or style wins", {P::dark, false, true, false}, Choice::platform},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(choose(row.situation), row.expected) << row.name;
  }
}

TEST(WindowPaletteTest, DarkPaletteIsDarkAndKeepsTheHighlight) {
  QPalette light(Qt::black, QColor(250, 249, 248));
  light.setColor(QPalette::Highlight, QColor(53, 132, 228));
  ASSERT_FALSE(isDark(light));
  const QPalette dark = darkPalette(light);
  EXPECT_TRUE(isDark(dark));
  for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    // Each pair the window draws with: text readable on its background.
    EXPECT_GT(dark.color(group, QPalette::ButtonText).lightness(),
              dark.color(group, QPalette::Button).lightness() + 60);
    EXPECT_GT(dark.color(group, QPalette::WindowText).lightness(),
              dark.color(group, QPalette::Window).lightness() + 60);
  }
  EXPECT_EQ(dark.color(QPalette::Highlight), light.color(QPalette::Highlight));
}

// Sessions and users set these for other reasons than colours; only a palette or a look of the
// user's own counts as a choice that the desktop's scheme must not overrule.
TEST(WindowPaletteTest, OnlyALookOfTheUsersOwnCountsAsChosen) {
  const struct {
    const char* name;
    LookVariables variables;
    bool chosen;
  } rows[] = {
      {"nothing set", {"", "", ""}, false},
      {"Qt's GTK theme (GTK's light colours)", {"gtk3", "", ""}, false},
      {"GNOME's name for it", {"gnome", "", ""}, false},
      {"the desktop portal's theme", {"xdgdesktopportal", "", ""}, false},
      {"the portal theme by its sandbox names", {"flatpak", "", ""}, false},
      {"qt6ct, the user's own palette", {"qt6ct", "", ""}, true},
      {"KDE's, the user's own colours", {"kde", "", ""}, true},
      {"a theme unknown here", {"lxqt", "", ""}, true},
      {"a style named", {"", "Fusion", ""}, true},
      {"a GTK theme named", {"gtk3", "", "Adwaita"}, true},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(userChoseLook(row.variables), row.chosen) << row.name;
  }
}

}  // namespace
}  // namespace tempulix::palette
