#!/usr/bin/python3
"""A window manager that lists keep-above among the states it supports and never grants it, as a
window manager with a rule against it does: declining_wm.py EVERY TIMES. It maps the windows that
ask to be mapped and marks them managed (WM_STATE), ignores every _NET_WM_STATE request, and
announces itself again EVERY seconds, TIMES times, as one that restarts its settings does: its
check window named on the root once more, and a MANAGER message for the WM_S0 selection. Prints
"ready" once it manages the screen, then "announced N" each time. Runs until stopped."""
import select
import sys
import time

from Xlib import X, Xatom, display
from Xlib.protocol import event


def main(every, times):
    d = display.Display()
    root = d.screen().root
    atom = d.intern_atom
    root.change_attributes(event_mask=X.SubstructureRedirectMask | X.SubstructureNotifyMask)
    d.sync()
    check = root.create_window(-10, -10, 1, 1, 0, X.CopyFromParent)
    supported = [atom(n) for n in ("_NET_SUPPORTED", "_NET_SUPPORTING_WM_CHECK", "_NET_WM_STATE",
                                   "_NET_WM_STATE_ABOVE", "_NET_WM_NAME")]
    root.change_property(atom("_NET_SUPPORTED"), Xatom.ATOM, 32, supported)
    selection = atom("WM_S0")

    def announce():
        for window in (check, root):
            window.change_property(atom("_NET_SUPPORTING_WM_CHECK"), Xatom.WINDOW, 32, [check.id])
        check.set_selection_owner(selection, X.CurrentTime)
        root.send_event(event.ClientMessage(window=root, client_type=atom("MANAGER"),
                                            data=(32, [X.CurrentTime, selection, check.id, 0, 0])),
                        event_mask=X.StructureNotifyMask)
        d.flush()

    announce()
    print("ready", flush=True)
    next_time = time.monotonic() + every
    announced = 0
    while True:
        wait = max(0.0, next_time - time.monotonic()) if announced < times else None
        if not d.pending_events():
            select.select([d], [], [], wait)
        while d.pending_events():
            e = d.next_event()
            if e.type == X.MapRequest:
                e.window.map()
                e.window.change_property(atom("WM_STATE"), atom("WM_STATE"), 32, [1, X.NONE])
                e.window.set_input_focus(X.RevertToParent, X.CurrentTime)
            elif e.type == X.ConfigureRequest:
                e.window.configure(x=e.x, y=e.y, width=e.width, height=e.height)
            # _NET_WM_STATE requests (client messages to the root) are declined: nothing is done.
        d.flush()
        if announced < times and time.monotonic() >= next_time:
            announce()
            announced += 1
            print(f"announced {announced}", flush=True)
            next_time += every


if __name__ == "__main__":
    try:
        main(float(sys.argv[1]), int(sys.argv[2]))
    except KeyboardInterrupt:
        sys.exit(0)
