// The global shortcuts on an X11 desktop: their keys grabbed on every root window, so that a press
// reaches the program whichever window has the keyboard focus, and that window keeps it. X counts
// Caps Lock and Num Lock as modifiers, so each key is grabbed for every state of the two. A key
// that another client holds already is said once on standard error and left to it; the other
// works. It waits for the X server, never for another client; it reads no events itself.
#pragma once

#include <xcb/xcb.h>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "global_shortcuts.h"

namespace tempulix::x11 {

// The modifier sets one key is grabbed with: the shortcut's own with each combination of Caps
// Lock and Num Lock (numLock 0: no key is Num Lock, and two sets remain).
std::vector<std::uint16_t> lockCombinations(std::uint16_t modifiers, std::uint16_t numLock);

// Whether a key event's modifier state is exactly the shortcut's, the lock keys and the mouse
// buttons aside.
bool sameModifiers(std::uint16_t state, std::uint16_t modifiers, std::uint16_t numLock);

// The real modifiers (a mask of Shift, Lock, Control, Mod1 ... Mod5) that any of the keys is
// bound to, in a modifier mapping: eight rows of keycodesPerModifier keycodes, as the X server
// answers GetModifierMapping.
std::uint16_t modifiersOf(const std::vector<xcb_keycode_t>& keys, const xcb_keycode_t* mapping,
                          int keycodesPerModifier);

class KeyGrabs {
 public:
  // Grabs the keys on the connection, which must outlive this (three round trips to the X
  // server). pressed is called for each press of a shortcut; holding a key does not repeat it.
  // The grabs last as long as the connection.
  KeyGrabs(xcb_connection_t* connection, std::function<void(GlobalShortcut)> pressed);
  KeyGrabs(const KeyGrabs&) = delete;
  KeyGrabs& operator=(const KeyGrabs&) = delete;

  // Every event read from the connection; true for the grabs' own presses and releases.
  bool handleEvent(const xcb_generic_event_t& event);

 private:
  struct Key {
    GlobalShortcutInfo shortcut;
    std::vector<xcb_keycode_t> keycodes;  // none: no key of this keyboard has the symbol
    bool taken = false;                   // held by another client, or not on this keyboard
    bool down = false;                    // pressed and not yet released
  };

  std::function<void(GlobalShortcut)> pressed_;
  std::vector<xcb_window_t> roots_;
  std::uint16_t modifiers_ = 0;  // Ctrl+Alt+Shift, as this server's real modifiers
  std::uint16_t numLock_ = 0;
  std::array<Key, globalShortcuts.size()> keys_;
};

}  // namespace tempulix::x11
