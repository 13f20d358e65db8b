#!/usr/bin/python3
"""Sends a window client messages as a hostile X client would (XSendEvent, no event mask, so
that they go to the client that made the window): send_client_messages.py WINDOW SEED COUNT
sends COUNT messages drawn from SEED, of random types (atoms that exist, of other programs and
of drag and drop, and numbers that name no atom) with random data, among them drag-and-drop
messages that name the window itself as the drag's source; send_client_messages.py WINDOW
close-connection sends the one message Qt sends itself to end its event reader. Prints what it
sent, counted by kind."""
import random
import sys
from collections import Counter

from Xlib import X, display
from Xlib.protocol import event

# Atoms of other programs' protocols, besides drag and drop's.
FOREIGN = ["_NET_WM_STATE", "_NET_ACTIVE_WINDOW", "_NET_CLOSE_WINDOW", "_NET_WM_MOVERESIZE",
           "WM_CHANGE_STATE", "_XEMBED", "MANAGER", "_NET_SYSTEM_TRAY_OPCODE", "WM_PROTOCOLS",
           "_NET_WM_PING", "_NET_REQUEST_FRAME_EXTENTS", "_NET_RESTACK_WINDOW", "UTF8_STRING",
           "_GTK_LOAD_ICONTHEMES", "_COMPIZ_DECOR_PENDING"]
DRAG = ["XdndEnter", "XdndPosition", "XdndStatus", "XdndLeave", "XdndDrop", "XdndFinished"]
# Qt's own message to end its event reader, in no random draw: it is sent alone.
CLOSE = "_QT_CLOSE_CONNECTION"


def send(connection, window, kind, data):
    message = event.ClientMessage(window=window, client_type=kind, data=(32, data))
    window.send_event(message, event_mask=X.NoEventMask)


def main(window_id, seed, count=None):
    connection = display.Display()
    window = connection.create_resource_object("window", int(window_id, 0))
    if seed == "close-connection":
        send(connection, window, connection.intern_atom(CLOSE), [0] * 5)
        connection.sync()
        print(f"sent 1 {CLOSE}")
        return 0
    rng = random.Random(int(seed))
    close = connection.intern_atom(CLOSE, only_if_exists=True)
    foreign = [connection.intern_atom(name) for name in FOREIGN]
    drag = [connection.intern_atom(name) for name in DRAG]
    own = window.id
    sent = Counter()
    # Always the two that froze Qt's input: the window as its own drag's source, and a drag
    # taken through its steps.
    plan = [("XdndEnter-own", drag[0], [own, 5 << 24, foreign[0], foreign[1], 0]),
            ("XdndPosition-own", drag[1], [own, 0, (100 << 16) | 40, X.CurrentTime, 0]),
            ("XdndLeave-own", drag[3], [own, 0, 0, 0, 0]),
            ("XdndEnter-own", drag[0], [own, (5 << 24) | 1, 0, 0, 0]),
            ("XdndDrop-own", drag[4], [own, 0, X.CurrentTime, 0, 0])]
    while len(plan) < int(count):
        draw = rng.random()
        if draw < 0.3:
            kind, name = rng.choice(list(zip(drag, DRAG)))
            source = own if rng.random() < 0.5 else rng.randrange(1, 1 << 29)
            data = [source] + [rng.randrange(0, 1 << 32) for _ in range(4)]
        elif draw < 0.6:
            kind, name = rng.choice(list(zip(foreign, FOREIGN)))
            data = [rng.choice([rng.randrange(0, 1 << 32), rng.choice(foreign + drag)])
                    for _ in range(5)]
            name = "other-" + name
        else:
            # A number that may name no atom at all (or any atom there is).
            kind = rng.randrange(1, 2000)
            name = "random-atom"
            data = [rng.randrange(0, 1 << 32) for _ in range(5)]
        if kind == close:
            continue
        plan.append((name, kind, data))
    for name, kind, data in plan:
        send(connection, window, kind, data)
        sent[name] += 1
    connection.sync()
    print(f"sent {len(plan)}: " + ", ".join(f"{n} {k}" for k, n in sorted(sent.items())))
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
