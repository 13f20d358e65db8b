#include "key_grabs.h"

#include <xcb/xcb_keysyms.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>

#include "owned.h"

namespace tempulix::x11 {
namespace {

// Key symbols, as X defines them (X11/keysymdef.h).
constexpr xcb_keysym_t keysymF1 = 0xffbe;
constexpr xcb_keysym_t keysymNumLock = 0xff7f;
constexpr std::array<xcb_keysym_t, 3> keysymsAlt = {0xffe9, 0xffea, 0xffe7};  // Alt_L, _R, Meta_L
// Every modifier an event's state can carry beside the eight real ones: the mouse buttons.
constexpr std::uint16_t realModifiers = 0xff;

struct FreeKeySymbols {
  void operator()(xcb_key_symbols_t* symbols) const { xcb_key_symbols_free(symbols); }
};

std::vector<xcb_keycode_t> keycodesOf(xcb_key_symbols_t* symbols, xcb_keysym_t keysym) {
  std::vector<xcb_keycode_t> keycodes;
  const Owned<xcb_keycode_t> found(symbols ? xcb_key_symbols_get_keycode(symbols, keysym)
                                           : nullptr);
  for (const xcb_keycode_t* keycode = found.get(); keycode && *keycode != XCB_NO_SYMBOL;
       ++keycode) {
    keycodes.push_back(*keycode);
  }
  return keycodes;
}

}  // namespace

std::vector<std::uint16_t> lockCombinations(std::uint16_t modifiers, std::uint16_t numLock) {
  std::vector<std::uint16_t> sets = {modifiers,
                                     static_cast<std::uint16_t>(modifiers | XCB_MOD_MASK_LOCK)};
  if (numLock != 0 && numLock != XCB_MOD_MASK_LOCK) {
    sets.push_back(static_cast<std::uint16_t>(modifiers | numLock));
    sets.push_back(static_cast<std::uint16_t>(modifiers | numLock | XCB_MOD_MASK_LOCK));
  }
  return sets;
}

bool sameModifiers(std::uint16_t state, std::uint16_t modifiers, std::uint16_t numLock) {
  const auto locks = static_cast<std::uint16_t>(XCB_MOD_MASK_LOCK | numLock);
  return (state & realModifiers & ~locks) == (modifiers & ~locks);
}

std::uint16_t modifiersOf(const std::vector<xcb_keycode_t>& keys, const xcb_keycode_t* mapping,
                          int keycodesPerModifier) {
  std::uint16_t mask = 0;
  for (int modifier = 0; mapping && modifier < 8; ++modifier) {
    const xcb_keycode_t* row = mapping + modifier * keycodesPerModifier;
    for (int i = 0; i < keycodesPerModifier; ++i) {
      if (row[i] != 0 && std::find(keys.begin(), keys.end(), row[i]) != keys.end()) {
        mask = static_cast<std::uint16_t>(mask | (1u << modifier));
      }
    }
  }
  return mask;
}

KeyGrabs::KeyGrabs(xcb_connection_t* connection, std::function<void(GlobalShortcut)> pressed)
    : pressed_(std::move(pressed)) {
  for (xcb_screen_iterator_t screen = xcb_setup_roots_iterator(xcb_get_setup(connection));
       screen.rem > 0; xcb_screen_next(&screen)) {
    roots_.push_back(screen.data->root);
  }
  // Which real modifiers Alt and Num Lock are on this server, and which keys have the symbols.
  const xcb_get_modifier_mapping_cookie_t mappingAsked = xcb_get_modifier_mapping(connection);
  const std::unique_ptr<xcb_key_symbols_t, FreeKeySymbols> symbols(
      xcb_key_symbols_alloc(connection));
  std::vector<xcb_keycode_t> alt;
  for (const xcb_keysym_t keysym : keysymsAlt) {
    const std::vector<xcb_keycode_t> found = keycodesOf(symbols.get(), keysym);
    alt.insert(alt.end(), found.begin(), found.end());
  }
  for (std::size_t i = 0; i < keys_.size(); ++i) {
    keys_[i].shortcut = globalShortcuts[i];
    keys_[i].keycodes = keycodesOf(
        symbols.get(), keysymF1 + static_cast<xcb_keysym_t>(globalShortcuts[i].functionKey - 1));
  }
  const Owned<xcb_get_modifier_mapping_reply_t> mapping(
      xcb_get_modifier_mapping_reply(connection, mappingAsked, nullptr));
  const xcb_keycode_t* rows = mapping ? xcb_get_modifier_mapping_keycodes(mapping.get()) : nullptr;
  const int perModifier = mapping ? mapping->keycodes_per_modifier : 0;
  std::uint16_t altMask = modifiersOf(alt, rows, perModifier);
  if (altMask == 0) {
    altMask = XCB_MOD_MASK_1;  // where Alt is, by convention
  }
  modifiers_ = static_cast<std::uint16_t>(XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT | altMask);
  numLock_ = modifiersOf(keycodesOf(symbols.get(), keysymNumLock), rows, perModifier);

  // Every grab sent before the first answer is read: one round trip. A refusal (BadAccess) means
  // another client holds the key.
  std::vector<std::pair<Key*, xcb_void_cookie_t>> grabs;
  for (Key& key : keys_) {
    key.taken = key.keycodes.empty();
    for (const xcb_window_t root : roots_) {
      for (const xcb_keycode_t keycode : key.keycodes) {
        for (const std::uint16_t modifiers : lockCombinations(modifiers_, numLock_)) {
          grabs.emplace_back(&key, xcb_grab_key_checked(connection, 0, root, modifiers, keycode,
                                                        XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        }
      }
    }
  }
  for (const auto& [key, grab] : grabs) {
    if (const Owned<xcb_generic_error_t> error(xcb_request_check(connection, grab)); error) {
      key->taken = true;
    }
  }

  std::string names;
  std::size_t taken = 0;
  for (const Key& key : keys_) {
    if (key.taken) {
      names += (taken++ > 0 ? " and " : "") + keyName(key.shortcut) + " (" +
               std::string(key.shortcut.description) + ")";
    }
  }
  if (taken > 0) {
    const bool none = taken == keys_.size();
    std::fprintf(stderr, "tempulix: %s%s %s or not on this keyboard; %s\n",
                 none ? "no global shortcut: " : "the global shortcut ", names.c_str(),
                 taken > 1 ? "are held by other programs" : "is held by another program",
                 none ? "the stopwatch works without" : "left to it");
  }
}

bool KeyGrabs::handleEvent(const xcb_generic_event_t& event) {
  const std::uint8_t type = event.response_type & 0x7f;
  if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE) {
    return false;
  }
  // Both kinds have the same layout.
  const auto& press = reinterpret_cast<const xcb_key_press_event_t&>(event);
  if (std::find(roots_.begin(), roots_.end(), press.event) == roots_.end()) {
    return false;  // a key in one of the program's own windows
  }
  for (Key& key : keys_) {
    if (key.taken ||
        std::find(key.keycodes.begin(), key.keycodes.end(), press.detail) == key.keycodes.end()) {
      continue;
    }
    if (type == XCB_KEY_RELEASE) {
      key.down = false;
    } else if (sameModifiers(press.state, modifiers_, numLock_) && !std::exchange(key.down, true)) {
      pressed_(key.shortcut.shortcut);
    }
    return true;
  }
  return false;
}

}  // namespace tempulix::x11
