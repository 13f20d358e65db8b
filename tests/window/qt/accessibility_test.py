#!/usr/bin/python3
"""The running program as a screen reader sees it, through AT-SPI (pyatspi): the tree of roles
and names, Start and Stop pressed through the Action interface, the running time read from the
time display and its change events counted, the held time and the running state after Stop.
Run it in a D-Bus session whose accessibility bus is on, with the program started (see
accessibility_test.sh)."""
import re
import sys
import time

import pyatspi
from gi.repository import GLib

DOMAIN = "tempulix.example"
TIME = re.compile(r"^\d+:[0-5]\d\.\d$")
failures = []


def check(condition, what):
    print(("ok: " if condition else "FAIL: ") + what)
    if not condition:
        failures.append(what)


def find_application(name, seconds=10):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == name:
                return app
        time.sleep(0.1)
    return None


def collect_events(seconds, action=None):
    """Runs the event loop for a while (after doing action, if any); returns the events seen."""
    events = []

    def listener(event):
        # Qt sends the object itself as the event's data; the new text is read from the source,
        # whose cached name and description the event has just updated.
        kind = event.type
        text = event.source.name if kind.endswith("name") else event.source.description
        events.append((kind, event.source, text))

    kinds = ["object:property-change:accessible-name",
             "object:property-change:accessible-description"]
    pyatspi.Registry.registerEventListener(listener, *kinds)
    if action:
        GLib.timeout_add(50, lambda: action() and False)
    GLib.timeout_add(int(seconds * 1000), lambda: pyatspi.Registry.stop() and False)
    pyatspi.Registry.start()
    pyatspi.Registry.deregisterEventListener(listener, *kinds)
    return events


def press(button):
    action = button.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    return action.doAction(names.index("Press") if "Press" in names else 0)


def main():
    app = find_application("Tempulix")
    if app is None:
        print("FAIL: no application named Tempulix on the accessibility bus")
        return 1
    frames = [app.getChildAtIndex(i) for i in range(app.childCount)]
    check([f.getRoleName() for f in frames] == ["frame"],
          f"one frame: {[f.getRoleName() for f in frames]}")
    frame = frames[0]
    check(frame.name == f"Tempulix - by {DOMAIN}", f"the frame is named by the title: {frame.name!r}")
    children = [frame.getChildAtIndex(i) for i in range(frame.childCount)]
    # Roles by their number: at-spi2-core 2.5x calls a push button "button".
    tree = [(c.getRole(), c.name) for c in children]
    check(tree == [(pyatspi.ROLE_LABEL, "   0:00.0"), (pyatspi.ROLE_PUSH_BUTTON, "Start"),
                   (pyatspi.ROLE_PUSH_BUTTON, "Stop"), (pyatspi.ROLE_PUSH_BUTTON, "Reset"),
                   (pyatspi.ROLE_PUSH_BUTTON, "Exit")],
          f"label with the time, then the four push buttons: {[(c.getRoleName(), c.name) for c in children]}")
    label = children[0]
    buttons = {c.name: c for c in children[1:]}
    check("Elapsed time" in label.description and "stopped" in label.description,
          f"the time display says what it is and that it stands: {label.description!r}")

    # Start, and a second and a half of ticks.
    events = collect_events(1.5, lambda: press(buttons["Start"]))
    label_names = [data for kind, source, data in events
                   if kind.endswith("accessible-name") and source == label]
    frame_names = [data for kind, source, data in events
                   if kind.endswith("accessible-name") and source == frame]
    descriptions = [data for kind, source, data in events
                    if kind.endswith("accessible-description") and source == label]
    check(10 <= len(label_names) <= 16,
          f"a name change of the time display for each tick: {len(label_names)} in 1.5 s")
    check(label_names and all(TIME.match(n) for n in label_names),
          f"each one a time: {label_names[:3]} ... {label_names[-2:]}")
    running = label.name
    check(TIME.match(running) and running == (label_names or [None])[-1],
          f"the time display reads the running time: {running!r}")
    # One name change of the window per title, no more (a screen reader would say each twice):
    # the titles of the ticks seen, in order, but for the last one if it was still on its way.
    titles = [f"{name} - Tempulix {DOMAIN}" for name in label_names]
    check(frame_names in (titles, titles[:-1]),
          f"the window's name follows the title, once a change: {len(frame_names)} changes for "
          f"{len(titles)} titles, last {frame_names[-1:]}")
    check(descriptions == ["Elapsed time, running"] and label.description == descriptions[-1],
          f"the description says it runs: {descriptions}")

    # Stop: the time holds, no more changes, and the description says so.
    events = collect_events(0.8, lambda: press(buttons["Stop"]))
    after = [data for kind, source, data in events if kind.endswith("accessible-name") and source == label]
    held = label.name
    check(len(after) <= 1, f"at most the tick in flight after Stop: {after}")
    events = collect_events(0.5)
    check(not [e for e in events if e[1] == label and e[0].endswith("accessible-name")],
          "no change while stopped")
    check(TIME.match(held) and held >= running, f"the held time: {held!r} (after {running!r})")
    check(label.description == "Elapsed time, stopped", f"stopped again: {label.description!r}")
    check(frame.name == f"{held} - Tempulix {DOMAIN}", f"the title holds it too: {frame.name!r}")

    # Reset through the Action interface as well.
    collect_events(0.3, lambda: press(buttons["Reset"]))
    check(label.name == "0:00.0", f"Reset: {label.name!r}")

    print(f"{len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
