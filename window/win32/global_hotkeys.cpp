#include "global_hotkeys.h"

// After windows.h, which they need.
#include <commctrl.h>
#include <versionhelpers.h>

#include <cstdio>
#include <utility>

namespace tempulix::win32 {
namespace {

constexpr UINT heldModifiers = MOD_CONTROL | MOD_ALT | MOD_SHIFT;
// How often a held key's state is looked at, in milliseconds. A press that comes within this time
// of letting the key go is taken for the key still held.
constexpr UINT releaseCheckMs = 20;

// A shortcut's hot key id: its place in globalShortcuts, plus one.
int idOf(std::size_t index) {
  return static_cast<int>(index) + 1;
}

UINT virtualKeyOf(const GlobalShortcutInfo& info) {
  return static_cast<UINT>(VK_F1 + info.functionKey - 1);
}

}  // namespace

GlobalHotkeys::GlobalHotkeys(HWND window, std::function<void(GlobalShortcut)> pressed)
    : window_(window), pressed_(std::move(pressed)) {
  SetWindowSubclass(window_, subclassProcedure, 0, reinterpret_cast<DWORD_PTR>(this));
  // Vista does not know the flag.
  const UINT modifiers = heldModifiers | (IsWindows7OrGreater() ? MOD_NOREPEAT : 0);
  for (std::size_t i = 0; i < globalShortcuts.size(); ++i) {
    const GlobalShortcutInfo& info = globalShortcuts[i];
    registered_[i] = RegisterHotKey(window_, idOf(i), modifiers, virtualKeyOf(info)) != FALSE;
    if (registered_[i]) {
      continue;
    }
    // Left to the program that holds it; the user's key there stands.
    const DWORD error = GetLastError();
    const auto description = static_cast<int>(info.description.size());
    if (error == ERROR_HOTKEY_ALREADY_REGISTERED) {
      std::fprintf(stderr,
                   "Tempulix: %s is held by another program, so %.*s has no global shortcut\n",
                   keyName(info).c_str(), description, info.description.data());
    } else {
      std::fprintf(stderr, "Tempulix: %s for %.*s could not be had (error %lu)\n",
                   keyName(info).c_str(), description, info.description.data(), error);
    }
  }
}

GlobalHotkeys::~GlobalHotkeys() {
  release();
}

void GlobalHotkeys::release() {
  if (!window_) {
    return;
  }
  for (std::size_t i = 0; i < globalShortcuts.size(); ++i) {
    if (registered_[i]) {
      UnregisterHotKey(window_, idOf(i));
    }
  }
  KillTimer(window_, reinterpret_cast<UINT_PTR>(this));
  RemoveWindowSubclass(window_, subclassProcedure, 0);
  window_ = nullptr;
}

LRESULT CALLBACK GlobalHotkeys::subclassProcedure(HWND window, UINT message, WPARAM wParam,
                                                  LPARAM lParam, UINT_PTR, DWORD_PTR self) {
  auto* hotkeys = reinterpret_cast<GlobalHotkeys*>(self);
  switch (message) {
    case WM_HOTKEY:
      // Pressed whatever program has the keyboard; the window is neither activated nor raised.
      hotkeys->hotkey(wParam);
      return 0;
    case WM_TIMER:
      if (wParam == reinterpret_cast<UINT_PTR>(hotkeys)) {
        hotkeys->checkReleased();
        return 0;
      }
      break;
    case WM_DESTROY:
      hotkeys->release();  // while the window they belong to is still there
      break;
    default:
      break;
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

void GlobalHotkeys::hotkey(WPARAM id) {
  for (std::size_t i = 0; i < globalShortcuts.size(); ++i) {
    // A press counts once: the keyboard repeats a key held down.
    if (registered_[i] && id == static_cast<WPARAM>(idOf(i)) && !std::exchange(held_[i], true)) {
      // The timer's id is this object's address: no other timer of the window has it.
      SetTimer(window_, reinterpret_cast<UINT_PTR>(this), releaseCheckMs, nullptr);
      pressed_(globalShortcuts[i].shortcut);
    }
  }
}

void GlobalHotkeys::checkReleased() {
  bool anyHeld = false;
  for (std::size_t i = 0; i < globalShortcuts.size(); ++i) {
    // The key's state as the keyboard has it now, whichever program has the keyboard.
    if (held_[i] && GetAsyncKeyState(static_cast<int>(virtualKeyOf(globalShortcuts[i]))) >= 0) {
      held_[i] = false;
    }
    anyHeld = anyHeld || held_[i];
  }
  if (!anyHeld) {
    KillTimer(window_, reinterpret_cast<UINT_PTR>(this));
  }
}

}  // namespace tempulix::win32
