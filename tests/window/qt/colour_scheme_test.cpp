// Which colours the window takes, from what the desktop asks and what the platform gives.
#include "colour_scheme.h"

#include <gtest/gtest.h>

namespace tempulix::colours {
namespace {

TEST(ColourSchemeTest, DarkOnlyWhereAskedForAndNotGivenNorOverruled) {
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

TEST(ColourSchemeTest, DarkPaletteIsDarkAndKeepsTheHighlight) {
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

}  // namespace
}  // namespace tempulix::colours
