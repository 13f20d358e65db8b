#!/usr/bin/python3
"""Records every change that any client makes to the named properties of any window, as the X
server carries it out, one line each: "WINDOW NAME = VALUE" (WINDOW in hex, VALUE a string or a
comma-separated list of atom names; "NAME deleted" for a deletion); each window's unmapping
and destruction by a client ("WINDOW unmapped", "WINDOW destroyed"); and, where _NET_WM_STATE is
named, each request a client sends the window manager to change a window's state ("WINDOW asks
add|remove|toggle STATE..."); and each answer to a ping (ping.py), sent back to the root window
by the program of the window it named ("WINDOW pong STAMP"), in the same order. A request sent
before an unmapping on the same connection reaches the window manager before it; an answer to a
ping comes after everything the program did before it. The server hands on what it records in
its own time, at the latest when it next answers a client: a check that something did not
happen reads the record up to an answer to a ping. It reads the requests through
the server's RECORD extension, which queues them for the recorder: none is lost however late it
reads, unlike reading a property back on each PropertyNotify, which misses a value that lasts
less than the reader's delay. Prints "recording" once the server records. Usage:
record_properties.py NAME... (uses DISPLAY; runs until stopped)."""
import struct
import sys

from Xlib import X, Xatom, display
from Xlib.ext import record
from Xlib.protocol import rq

# The window states of the Extended Window Manager Hints, by name; another atom is shown as
# "#NUMBER".
STATE_ATOMS = ["_NET_WM_STATE_" + state for state in (
    "MODAL", "STICKY", "MAXIMIZED_VERT", "MAXIMIZED_HORZ", "SHADED", "SKIP_TASKBAR", "SKIP_PAGER",
    "HIDDEN", "FULLSCREEN", "ABOVE", "BELOW", "DEMANDS_ATTENTION", "FOCUSED")]
DESTROY_WINDOW = 4
UNMAP_WINDOW = 10
SEND_EVENT = 25
CLIENT_MESSAGE = 33
STATE_ACTIONS = {0: "remove", 1: "add", 2: "toggle"}
CHANGE_PROPERTY = 18
DELETE_PROPERTY = 19


def main(names):
    control = display.Display()
    reader = display.Display()
    if not reader.has_extension("RECORD"):
        print("no RECORD extension on this X server", file=sys.stderr)
        return 2
    watched = {control.intern_atom(name): name for name in names}
    # Names for the atoms a state list can hold, looked up now: the recorder makes no request
    # while it records, since it must never wait on a server that another client has grabbed.
    atom_names = {X.NONE: "None"}
    for name in STATE_ATOMS:
        atom_names[control.intern_atom(name)] = name

    def atom_name(atom):
        return atom_names.get(atom, f"#{atom}")

    def only(first, last):
        return {"core_requests": (first, last), "core_replies": (0, 0),
                "ext_requests": (0, 0, 0, 0), "ext_replies": (0, 0, 0, 0),
                "delivered_events": (0, 0), "device_events": (0, 0), "errors": (0, 0),
                "client_started": False, "client_died": False}

    context = reader.record_create_context(
        0, [record.AllClients],
        [only(DESTROY_WINDOW, DESTROY_WINDOW), only(UNMAP_WINDOW, UNMAP_WINDOW),
         only(CHANGE_PROPERTY, DELETE_PROPERTY), only(SEND_EVENT, SEND_EVENT)])
    state_request = next((atom for atom, name in watched.items() if name == "_NET_WM_STATE"), None)
    protocols = control.intern_atom("WM_PROTOCOLS")
    ping = control.intern_atom("_NET_WM_PING")
    root = control.screen().root.id

    def requests(data):
        # The requests of one batch, each as the client sent it (in the server's byte order).
        order = "<" if reader.display.info.image_byte_order == X.LSBFirst else ">"
        offset = 0
        while offset + 4 <= len(data):
            length = struct.unpack(order + "H", data[offset + 2:offset + 4])[0] * 4
            if length == 0:  # BIG-REQUESTS: the length follows as 32 bits
                length = struct.unpack(order + "I", data[offset + 4:offset + 8])[0] * 4
                body = data[offset:offset + 4] + data[offset + 8:offset + length]
            else:
                body = data[offset:offset + length]
            yield order, body
            offset += max(length, 4)

    def recorded(reply):
        if reply.category == record.StartOfData:
            print("recording", flush=True)  # from here on, nothing is missed
            return
        if reply.category != record.FromClient or reply.client_swapped:
            return
        for order, body in requests(reply.data):
            if body[0] == CHANGE_PROPERTY and len(body) >= 24:
                window, atom, kind, size, count = struct.unpack(order + "IIIB3xI", body[4:24])
                if atom not in watched:
                    continue
                value = body[24:24 + count * size // 8]
                if size == 32 and kind == Xatom.ATOM:
                    atoms = struct.unpack(order + f"{count}I", value)
                    text = ",".join(atom_name(a) for a in atoms)
                else:
                    text = value.decode("utf-8", "replace")
                print(f"{window:#x} {watched[atom]} = {text}", flush=True)
            elif body[0] in (DESTROY_WINDOW, UNMAP_WINDOW) and len(body) >= 8:
                window = struct.unpack(order + "I", body[4:8])[0]
                what = "destroyed" if body[0] == DESTROY_WINDOW else "unmapped"
                print(f"{window:#x} {what}", flush=True)
            elif body[0] == SEND_EVENT and len(body) >= 44:
                event = body[12:44]
                if event[0] & 0x7f != CLIENT_MESSAGE or event[1] != 32:
                    continue
                window, kind, action, first, second = struct.unpack(order + "IIIII", event[4:24])
                if kind == protocols and action == ping and window == root:
                    print(f"{second:#x} pong {first}", flush=True)
                    continue
                if state_request is None or kind != state_request:
                    continue
                states = " ".join(atom_name(a) for a in (first, second) if a != X.NONE)
                print(f"{window:#x} asks {STATE_ACTIONS.get(action, action)} {states}", flush=True)
            elif body[0] == DELETE_PROPERTY and len(body) >= 12:
                window, atom = struct.unpack(order + "II", body[4:12])
                if atom in watched:
                    print(f"{window:#x} {watched[atom]} deleted", flush=True)

    reader.record_enable_context(context, recorded)
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main(sys.argv[1:]))
    except (KeyboardInterrupt, BrokenPipeError):
        sys.exit(0)
