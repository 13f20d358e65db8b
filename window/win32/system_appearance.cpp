#include "system_appearance.h"

#include <cwchar>

#include "system_function.h"

namespace tempulix::win32 {
namespace {

constexpr wchar_t personalizeKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";

std::uint32_t windowsBuild() {
  // GetVersionEx answers what the manifest lets it; RtlGetVersion tells the build as it is.
  using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);
  static const auto rtlGetVersion =
      systemFunction<RtlGetVersionFunction>(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion");
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
  if (!rtlGetVersion || rtlGetVersion(&version) != 0) {
    return 0;
  }
  return version.dwBuildNumber;
}

}  // namespace

AppearanceSettings readAppearanceSettings() {
  AppearanceSettings settings;
  DWORD value = 0;
  DWORD size = sizeof value;
  if (RegGetValueW(HKEY_CURRENT_USER, personalizeKey, L"AppsUseLightTheme", RRF_RT_REG_DWORD,
                   nullptr, &value, &size) == ERROR_SUCCESS) {
    settings.appsUseLightTheme = value;
  }
  HIGHCONTRASTW highContrast{};
  highContrast.cbSize = sizeof highContrast;
  settings.highContrast =
      SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof highContrast, &highContrast, 0) &&
      (highContrast.dwFlags & HCF_HIGHCONTRASTON);
  settings.windowsBuild = windowsBuild();
  return settings;
}

void askForTitleBar(HWND window, const Appearance& appearance) {
  if (appearance.titleBarAttribute == 0) {
    return;
  }
  using SetAttributeFunction = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
  // Loaded once and kept: it is part of the system on every version that has the attribute.
  static const auto setAttribute = systemFunction<SetAttributeFunction>(
      LoadLibraryExW(L"dwmapi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32),
      "DwmSetWindowAttribute");
  if (!setAttribute) {
    return;
  }
  const BOOL dark = appearance.look == Look::dark;
  setAttribute(window, appearance.titleBarAttribute, &dark, sizeof dark);  // errors: as it was
}

bool touchesAppearance(WPARAM wParam, LPARAM lParam) {
  if (wParam == SPI_SETHIGHCONTRAST) {
    return true;
  }
  const auto* area = reinterpret_cast<const wchar_t*>(lParam);
  return area && std::wcscmp(area, L"ImmersiveColorSet") == 0;
}

}  // namespace tempulix::win32
