// Which look the Windows window takes, from what the user chose in Windows' settings: light or
// dark ("Choose your default app mode", the AppsUseLightTheme value) and high contrast, and which
// attribute asks the desktop window manager for a title bar to match. Plain data in and out, so
// that every combination can be tested anywhere; reading the settings and painting are elsewhere.
#pragma once

#include <cstdint>
#include <optional>

namespace tempulix::win32 {

enum class Look {
  light,         // the system's own colours, as a program that paints nothing itself gets them
  dark,          // the program's dark colours (Windows offers classic controls none)
  highContrast,  // the system's colours only, in the pairs the high-contrast themes define
};

struct AppearanceSettings {
  // HKCU\...\Themes\Personalize AppsUseLightTheme: 0 dark, anything else light; missing, as on
  // Windows before 10 1809, means light.
  std::optional<std::uint32_t> appsUseLightTheme;
  bool highContrast = false;       // SPI_GETHIGHCONTRAST's HCF_HIGHCONTRASTON
  std::uint32_t windowsBuild = 0;  // e.g. 19045 for Windows 10 22H2; 6002 for Vista
};

struct Appearance {
  Look look = Look::light;
  // The DWMWINDOWATTRIBUTE that turns the dark title bar on or off on this build: 20
  // (DWMWA_USE_IMMERSIVE_DARK_MODE) from build 18985, 19 on builds 17763 to 18984, and 0 where
  // there is none to ask for. Set to look == dark each time the look is decided.
  std::uint32_t titleBarAttribute = 0;
};

Appearance chooseAppearance(const AppearanceSettings& settings);

}  // namespace tempulix::win32
