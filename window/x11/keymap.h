// The X server's keyboard map, as the program's key handling needs it: which Latin letter a key
// has on the keyboard's layouts.
#pragma once

#include <xcb/xcb.h>

#include <cstdint>

namespace tempulix::x11 {

// The letter ('A'...'Z') the key (an XKB keycode) has on the first layout of the X server's keymap
// that puts a Latin letter there (with "us,ru" that is the US one, with "gr,fr" the French one); 0
// if none does or there is no connection. The keymap is read afresh, so a layout changed since
// start-up counts; it costs a few round trips to the X server.
int latinLetterInKeymap(xcb_connection_t* connection, std::uint32_t keycode);

}  // namespace tempulix::x11
