#include "global_hotkeys.h"

// After windows.h, which it needs.
#include <versionhelpers.h>

#include <cstdio>

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

GlobalHotkeys::GlobalHotkeys(HWND window) : window_(window) {
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
                   "Tempulix: Ctrl+Alt+Shift+F%d is held by another program, so %.*s has no "
                   "global shortcut\n",
                   info.functionKey, description, info.description.data());
    } else {
      std::fprintf(stderr, "Tempulix: Ctrl+Alt+Shift+F%d for %.*s could not be had (error %lu)\n",
                   info.functionKey, description, info.description.data(), error);
    }
  }
}

GlobalHotkeys::~GlobalHotkeys() {
  for (std::size_t i = 0; i < globalShortcuts.size(); ++i) {
    if (registered_[i]) {
      UnregisterHotKey(window_, idOf(i));
    }
    if (held_[i]) {
      KillTimer(window_, releaseTimerId);
    }
  }
}

std::optional<GlobalShortcut> GlobalHotkeys::pressed(WPARAM id) {
  for (std::size_t i = 0; i < globalShortcuts.size(); ++i) {
    if (!registered_[i] || id != static_cast<WPARAM>(idOf(i))) {
      continue;
    }
    if (held_[i]) {
      return std::nullopt;  // the keyboard repeating a key held down
    }
    held_[i] = true;
    SetTimer(window_, releaseTimerId, releaseCheckMs, nullptr);
    return globalShortcuts[i].shortcut;
  }
  return std::nullopt;
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
    KillTimer(window_, releaseTimerId);
  }
}

}  // namespace tempulix::win32
