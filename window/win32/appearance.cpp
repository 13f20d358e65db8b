#include "appearance.h"

namespace tempulix::win32 {
namespace {

// Windows 10 1809, where the dark title bar first came (under the attribute's first number), and
// the Windows 10 20H1 build that gave it the number Windows 11 documents.
constexpr std::uint32_t firstDarkTitleBarBuild = 17763;
constexpr std::uint32_t documentedAttributeBuild = 18985;
constexpr std::uint32_t earlyAttribute = 19;
constexpr std::uint32_t documentedAttribute = 20;

}  // namespace

Appearance chooseAppearance(const AppearanceSettings& settings) {
  Appearance appearance;
  if (settings.windowsBuild >= documentedAttributeBuild) {
    appearance.titleBarAttribute = documentedAttribute;
  } else if (settings.windowsBuild >= firstDarkTitleBarBuild) {
    appearance.titleBarAttribute = earlyAttribute;
  }
  if (settings.highContrast) {
    appearance.look = Look::highContrast;  // never dark: the theme's colours are the user's
  } else if (settings.appsUseLightTheme == 0u) {
    appearance.look = Look::dark;
  }
  return appearance;
}

}  // namespace tempulix::win32
