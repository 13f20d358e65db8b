#include "key_code.h"

#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

#include <QGuiApplication>
#include <QKeyEvent>
#include <array>
#include <memory>
#include <string>

namespace tempulix {
namespace {

struct UnrefContext {
  void operator()(xkb_context* context) const { xkb_context_unref(context); }
};
struct UnrefKeymap {
  void operator()(xkb_keymap* keymap) const { xkb_keymap_unref(keymap); }
};

int latinLetter(xkb_keysym_t keysym) {
  if (keysym >= XKB_KEY_a && keysym <= XKB_KEY_z) {
    return static_cast<int>('A' + (keysym - XKB_KEY_a));
  }
  if (keysym >= XKB_KEY_A && keysym <= XKB_KEY_Z) {
    return static_cast<int>(keysym);
  }
  return 0;
}

// The letter the key has on the first layout of the X server's keymap that puts a Latin letter
// there (with "us,ru" that is the US one, with "gr,fr" the French one); 0 if none does or this
// is not X11. The keymap is read afresh, so a layout changed since start-up counts; it costs a
// few round trips, paid only for keys that are letters of another script.
int latinLetterFromX11Keymap(std::uint32_t keycode) {
  const auto* x11 =
      qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
  if (!connection || !xkb_x11_setup_xkb_extension(connection, XKB_X11_MIN_MAJOR_XKB_VERSION,
                                                  XKB_X11_MIN_MINOR_XKB_VERSION,
                                                  XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr,
                                                  nullptr, nullptr, nullptr)) {
    return 0;
  }
  const std::int32_t device = xkb_x11_get_core_keyboard_device_id(connection);
  if (device < 0) {
    return 0;
  }
  const std::unique_ptr<xkb_context, UnrefContext> context(
      xkb_context_new(static_cast<xkb_context_flags>(XKB_CONTEXT_NO_DEFAULT_INCLUDES |
                                                     XKB_CONTEXT_NO_ENVIRONMENT_NAMES)));
  if (!context) {
    return 0;
  }
  const std::unique_ptr<xkb_keymap, UnrefKeymap> keymap(xkb_x11_keymap_new_from_device(
      context.get(), connection, device, XKB_KEYMAP_COMPILE_NO_FLAGS));
  if (!keymap) {
    return 0;
  }
  const xkb_layout_index_t layouts = xkb_keymap_num_layouts_for_key(keymap.get(), keycode);
  for (xkb_layout_index_t layout = 0; layout < layouts; ++layout) {
    const xkb_keysym_t* keysyms = nullptr;
    const int count = xkb_keymap_key_get_syms_by_level(keymap.get(), keycode, layout, 0, &keysyms);
    for (int i = 0; i < count; ++i) {
      if (const int letter = latinLetter(keysyms[i])) {
        return letter;
      }
    }
  }
  return 0;
}

}  // namespace

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
  if (const int letter = latinLetterFromX11Keymap(keycode)) {
    return letter;
  }
  if (const int letter = usLetterAtKeycode(keycode)) {
    return letter;
  }
  return key;
}

}  // namespace tempulix
