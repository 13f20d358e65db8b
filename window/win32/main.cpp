// The Windows program: one stopwatch window in plain Win32.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include "form1.h"
#include "global_hotkeys.h"
#include "topmost.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  // The platform's pieces, put together here and nowhere else: the on-top switch is
  // SetWindowPos, the global shortcuts are the window's system-wide hot keys.
  tempulix::win32::Form1 form1(instance, tempulix::win32::setOnTop);
  if (!form1.show(showCommand)) {
    return 1;
  }
  const tempulix::win32::GlobalHotkeys hotkeys(
      reinterpret_cast<HWND>(form1.nativeWindowHandle()),
      [&form1](tempulix::GlobalShortcut shortcut) { form1.globalShortcut(shortcut); });
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (!form1.preTranslate(message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  return static_cast<int>(message.wParam);
}
