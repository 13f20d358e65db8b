// The two global shortcuts, which work while another program has the keyboard: what each does,
// the id and description a desktop is told, and its default key. Plain data, shared by every
// window layer; each turns the key into its own terms (an X keysym, a portal trigger, a Windows
// virtual key) and hands a press to the controller.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace tempulix {

enum class GlobalShortcut { startOrStop, reset };

struct GlobalShortcutInfo {
  GlobalShortcut shortcut;
  std::string_view id;           // stable: a desktop keeps the user's key under it
  std::string_view description;  // what the desktop shows the user
  int functionKey;               // the default key: Ctrl+Alt+Shift and F<functionKey>
};

// Ctrl+Alt+Shift with a function key: no default binding of GNOME, KDE Plasma, Xfce or Windows
// uses these, and no keyboard layout types a character with them (on Windows Ctrl+Alt is AltGr,
// so Ctrl+Alt with a letter would take a character from many layouts). F12 is the debugger's on
// Windows.
inline constexpr std::array<GlobalShortcutInfo, 2> globalShortcuts = {{
    {GlobalShortcut::startOrStop, "start-or-stop", "Start or stop", 9},
    {GlobalShortcut::reset, "reset", "Reset", 10},
}};

// The default key as people read it: "Ctrl+Alt+Shift+F9".
inline std::string keyName(const GlobalShortcutInfo& shortcut) {
  return "Ctrl+Alt+Shift+F" + std::to_string(shortcut.functionKey);
}

}  // namespace tempulix
