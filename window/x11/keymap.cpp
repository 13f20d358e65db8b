#include "keymap.h"

#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

#include <memory>

namespace tempulix::x11 {
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

}  // namespace

int latinLetterInKeymap(xcb_connection_t* connection, std::uint32_t keycode) {
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

}  // namespace tempulix::x11
