// The global shortcuts as system-wide hot keys of the stopwatch window. Made, it registers each
// shortcut's default key (Ctrl+Alt+Shift with a function key) for the window and listens to the
// window's messages (as a comctl32 subclass of it); Windows then posts WM_HOTKEY to the window
// whatever program has the keyboard, and pressed hears of it once a press. A key that another
// program holds is left to it (said once on stderr), and the other works. The keys are freed
// when the window is destroyed or this is, whichever comes first.
#pragma once

#include <windows.h>

#include <array>
#include <functional>

#include "global_shortcuts.h"

namespace tempulix::win32 {

class GlobalHotkeys {
 public:
  // The window must belong to the calling thread.
  GlobalHotkeys(HWND window, std::function<void(GlobalShortcut)> pressed);
  ~GlobalHotkeys();
  GlobalHotkeys(const GlobalHotkeys&) = delete;
  GlobalHotkeys& operator=(const GlobalHotkeys&) = delete;

 private:
  static LRESULT CALLBACK subclassProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR id, DWORD_PTR self);
  void hotkey(WPARAM id);
  // Forgets each held key that is up again.
  void checkReleased();
  void release();

  HWND window_;
  std::function<void(GlobalShortcut)> pressed_;
  std::array<bool, globalShortcuts.size()> registered_{};
  // Pressed and not let go yet. Windows 7 and later drop the keyboard's repeats of a hot key
  // themselves (MOD_NOREPEAT); Vista knows no such flag, and Wine (8) ignores it: so wherever it
  // runs, a press counts once until its key is let go.
  std::array<bool, globalShortcuts.size()> held_{};
};

}  // namespace tempulix::win32
