#include "key_code.h"

#include <QKeyEvent>
#include <array>
#include <string>

#include "keymap.h"
#include "xcb_events.h"

namespace tempulix {

int usLetterAtKeycode(std::uint32_t keycode) {
  // The three letter rows of the US layout, from their first XKB keycode on.
  struct Row {
    std::uint32_t first;
    const char* letters;
  };
  static constexpr std::array<Row, 3> rows = {
      {{24, "QWERTYUIOP"}, {38, "ASDFGHJKL"}, {52, "ZXCVBNM"}}};
  for (const Row& row : rows) {
    const std::uint32_t length = std::char_traits<char>::length(row.letters);
    if (keycode >= row.first && keycode < row.first + length) {
      return row.letters[keycode - row.first];
    }
  }
  return 0;
}

int controllerKeyCode(const QKeyEvent& event) {
  const int key = event.key();
  if (key >= Qt::Key_A && key <= Qt::Key_Z) {
    return key;
  }
  // Qt gives a letter key of another script the code of its upper-case letter; digits,
  // punctuation and function keys stay as they are on every layout.
  const bool foreignLetter = key > 0x7f && key <= 0xffff && QChar(key).isLetter();
  const std::uint32_t keycode = event.nativeScanCode();
  if (!foreignLetter || keycode == 0) {
    return key;
  }
  if (const int letter = x11::latinLetterInKeymap(xcbConnection(), keycode)) {
    return letter;
  }
  if (const int letter = usLetterAtKeycode(keycode)) {
    return letter;
  }
  return key;
}

}  // namespace tempulix
