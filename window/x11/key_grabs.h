// The global shortcuts on an X11 desktop: their keys grabbed on the root window on Qt's own
// connection, so that a press reaches the program whichever window has the keyboard focus, and
// that window keeps it. X counts Caps Lock and Num Lock as modifiers, so each key is grabbed once
// for every state of the two. A key that another client holds already is said once on standard
// error and left to it; the other works. Nothing waits for another program: the grabs' refusals
// come back as events, as a press does.
#pragma once

#include <xcb/xcb.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "global_shortcuts.h"

class QObject;

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

// How a shortcut's key is written for people: "Ctrl+Alt+Shift+F9".
std::string keyName(const GlobalShortcutInfo& shortcut);

class KeyGrabs {
 public:
  // Grabs the keys on every root of the connection's screens (one round trip first, to the X
  // server, for its keyboard and modifier maps). pressed is called for each press of a
  // shortcut; holding a key down does not repeat it.
  KeyGrabs(xcb_connection_t* connection, std::function<void(GlobalShortcut)> pressed);
  ~KeyGrabs();
  KeyGrabs(const KeyGrabs&) = delete;
  KeyGrabs& operator=(const KeyGrabs&) = delete;

  // Every event that arrives on the connection, errors included; true for those that were the
  // grabs' own (their presses, releases and refusals), which Qt need not see.
  bool handleEvent(const xcb_generic_event_t& event);

 private:
  struct Key {
    GlobalShortcutInfo shortcut;
    std::vector<xcb_keycode_t> keycodes;  // none: no key of this keyboard has the symbol
    std::uint32_t firstRequest = 0;       // the sequence numbers of its grabs
    std::uint32_t lastRequest = 0;
    bool taken = false;  // held by another client (or not on this keyboard)
    bool said = false;   // that it is taken, on standard error
    bool down = false;   // pressed and not yet released
  };

  // Says once, on standard error, which keys are taken, after the events at hand.
  void reportLater();
  void report();

  xcb_connection_t* connection_;
  std::function<void(GlobalShortcut)> pressed_;
  std::vector<xcb_window_t> roots_;
  std::uint16_t modifiers_ = 0;  // Ctrl+Alt+Shift, as this server's real modifiers
  std::uint16_t numLock_ = 0;
  std::array<Key, globalShortcuts.size()> keys_;
  // What a report waits for: gone with the grabs, and the report with it.
  std::unique_ptr<QObject> reporting_;
};

}  // namespace tempulix::x11
