#!/usr/bin/python3
"""Pings a window as a window manager does (EWMH _NET_WM_PING, sent to the client that made the
window): ping.py WINDOW STAMP. A program answers by sending the message back to the root window,
once it has handled every event that came before; record_properties.py records the answer as
"WINDOW pong STAMP"."""
import sys

from Xlib import X, display
from Xlib.protocol import event


def main(window_id, stamp):
    d = display.Display()
    window = d.create_resource_object("window", window_id)
    message = event.ClientMessage(window=window, client_type=d.intern_atom("WM_PROTOCOLS"),
                                  data=(32, [d.intern_atom("_NET_WM_PING"), stamp, window_id, 0, 0]))
    window.send_event(message, event_mask=X.NoEventMask)
    d.sync()
    return 0


if __name__ == "__main__":
    sys.exit(main(int(sys.argv[1], 0), int(sys.argv[2])))
