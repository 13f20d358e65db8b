// What the user chose in Windows' settings for the look of programs (read afresh on each call),
// and the request to the desktop window manager for a title bar that matches the look chosen.
// The functions of newer versions (dwmapi's DwmSetWindowAttribute, ntdll's RtlGetVersion) are
// looked up when the program runs, so that it still starts on Vista and reports its true build.
#pragma once

#include <windows.h>

#include "appearance.h"

namespace tempulix::win32 {

AppearanceSettings readAppearanceSettings();

// Dark title bar on or off as the look says, where the build has the attribute; before the
// window is first painted, and again after each change. A failure changes nothing.
void askForTitleBar(HWND window, const Appearance& appearance);

// Whether a WM_SETTINGCHANGE tells of a change the look depends on: the app mode
// ("ImmersiveColorSet") or high contrast.
bool touchesAppearance(WPARAM wParam, LPARAM lParam);

}  // namespace tempulix::win32
