// The global shortcuts as system-wide hot keys of the stopwatch window: made, it registers each
// shortcut's default key (Ctrl+Alt+Shift with a function key) for the window; destroyed, it frees
// them, so it must go before the window does. Windows then posts WM_HOTKEY to the window whatever
// program has the keyboard. A key that another program holds is left to it (said once on
// stderr), and the other key works without it. It acts on no press itself: it tells which
// shortcut a WM_HOTKEY is, once for each press of the key.
#pragma once

#include <windows.h>

#include <array>
#include <optional>

#include "global_shortcuts.h"

namespace tempulix::win32 {

class GlobalHotkeys {
 public:
  // The window's timer that this uses while a key is held, to see it let go: the window hands
  // WM_TIMER with this id to checkReleased().
  static constexpr UINT_PTR releaseTimerId = 2;

  // The window must belong to the calling thread, and outlive this.
  explicit GlobalHotkeys(HWND window);
  ~GlobalHotkeys();
  GlobalHotkeys(const GlobalHotkeys&) = delete;
  GlobalHotkeys& operator=(const GlobalHotkeys&) = delete;

  // The shortcut of a WM_HOTKEY (given its wParam); none for another hot key, or for the
  // keyboard's repeat while the key is held down.
  std::optional<GlobalShortcut> pressed(WPARAM id);
  // Forgets each held key that is up again.
  void checkReleased();

 private:
  HWND window_;
  std::array<bool, globalShortcuts.size()> registered_{};
  // Pressed and not let go yet. Windows 7 and later drop the keyboard's repeats of a hot key
  // themselves (MOD_NOREPEAT); Vista knows no such flag, and Wine (8) ignores it: so wherever it
  // runs, a press counts once until its key is let go.
  std::array<bool, globalShortcuts.size()> held_{};
};

}  // namespace tempulix::win32
