// The key code the controller compares, taken from a Qt key event: a Latin letter as itself, a
// letter of another script (Cyrillic, Greek, ...) as the Latin letter its key has on the
// keyboard's Latin layout, as Windows' virtual-key codes do. It only translates.
#pragma once

#include <cstdint>

class QKeyEvent;

namespace tempulix {

// The key code for the controller: 'A'...'Z' for letters as above, otherwise Qt's key code.
int controllerKeyCode(const QKeyEvent& event);

// The Latin letter ('A'...'Z') on a key of the standard US layout, by its XKB keycode (the
// evdev code + 8, as X servers and Wayland compositors number keys); 0 for other keys. The
// fallback where the keyboard's own layouts have no Latin letter on that key.
int usLetterAtKeycode(std::uint32_t keycode);

}  // namespace tempulix
