#!/usr/bin/python3
"""Holds a key as another program's global shortcut does: hold_key.py KEYSYM (Ctrl+Alt+Shift with
that key grabbed on the root window, for each state of Caps Lock and Num Lock). Prints "held"
once the X server has granted the grabs, then keeps them until stopped."""
import signal
import sys

from Xlib import X, XK, display


def main(name):
    d = display.Display()
    root = d.screen().root
    keycode = d.keysym_to_keycode(XK.string_to_keysym(name))
    base = X.ControlMask | X.ShiftMask | X.Mod1Mask
    for locks in (0, X.LockMask, X.Mod2Mask, X.LockMask | X.Mod2Mask):
        root.grab_key(keycode, base | locks, True, X.GrabModeAsync, X.GrabModeAsync)
    d.sync()
    print("held", flush=True)
    signal.pause()


if __name__ == "__main__":
    try:
        main(sys.argv[1])
    except KeyboardInterrupt:
        sys.exit(0)
