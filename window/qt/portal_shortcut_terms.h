// The global shortcuts in the terms of the desktop portal's GlobalShortcuts, and its answers read
// back: each default key as a trigger in the portal's syntax, the shortcut an id names, whether
// the desktop must be asked to bind them, and the one line said where none can be had. Plain
// data; the talk with the portal itself is portal_shortcuts.h's.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "global_shortcuts.h"

namespace tempulix::portal {

// The default key as the portal's preferred_trigger: modifiers in capitals, then the key's
// keysym name, joined by '+' ("CTRL+ALT+SHIFT+F9").
std::string preferredTrigger(const GlobalShortcutInfo& info);

// The shortcut an id of ours names; none for an id that is not ours.
std::optional<GlobalShortcut> shortcutNamed(std::string_view id);

// One shortcut as the portal lists it after a bind or on ListShortcuts.
struct Listed {
  std::string id;
  std::string triggerDescription;  // the desktop's words for its key; empty: it has none
};

// Whether to ask the desktop to bind the shortcuts: not when it lists every one of ours already
// (KDE Plasma keeps them across sessions, with the user's keys, which a bind could put back).
bool needsBinding(const std::vector<Listed>& listed);

// Why there is no global shortcut.
enum class Failure {
  noSessionBus,
  noPortal,           // no xdg-desktop-portal answers on the session bus
  noGlobalShortcuts,  // it answers, without a GlobalShortcuts interface
  declined,           // the user said no (Response code 1)
  refused,            // the desktop ended the request (Response code 2)
  noKeys,             // bound, and the desktop has a key for none of them
  notBound,           // granted, and yet the desktop lists none of them
};

// The portal's Response codes: 0 granted, 1 cancelled by the user, 2 ended otherwise.
// nullopt for granted.
std::optional<Failure> failureOfResponse(unsigned int response);

// Whether the desktop lists any shortcut of ours.
bool anyOursListed(const std::vector<Listed>& listed);

// A bind's answer: granted where the desktop lists any of ours, whatever its code (GNOME 48's
// portal answers a bind that it carried out with code 2 and the shortcuts listed; a refused one
// lists none); otherwise as its code says.
std::optional<Failure> failureOfBind(unsigned int response, const std::vector<Listed>& listed);

// A granted bind (or a listing of shortcuts already bound) where the desktop has a key for none
// of ours: noKeys. nullopt where one has a key, and where the desktop told nothing of keys (an
// empty list: KDE Plasma 6 answers a bind through its dialog so).
std::optional<Failure> failureOfListing(const std::vector<Listed>& listed);

// The one line said on standard error, with its newline; detail, where given, is added in
// brackets (what the portal said).
std::string unavailableLine(Failure failure, std::string_view detail = {});

}  // namespace tempulix::portal
