#!/usr/bin/python3
"""The running program as a screen reader sees it, through AT-SPI (pyatspi): the tree of roles
and names, Start, Stop and Reset pressed through the Action interface, the change events of the
time display counted against the held time, the window's name and the announcements.
Run it in a D-Bus session whose accessibility bus is on, with the program started (see
accessibility_test.sh)."""
import math
import os
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


KINDS = ["object:property-change:accessible-name",
         "object:property-change:accessible-description", "object:announcement"]


def collect_events(seconds, action=None, until_quiet=False, later=None):
    """Runs the event loop for a while (after doing action, if any, and later's action after
    later's seconds); with until_quiet, then on until no event has come for a second (ten
    seconds at most), so that none still on its way is missed. Returns the events seen:
    (kind, source, text)."""
    events = []
    last = [time.monotonic()]

    def listener(event):
        # Qt 6.4 sends the object itself as a property change's data, Qt 6.8 the new text; the
        # text is read from the source, whose cached name or description the event renewed.
        kind = event.type
        if kind.startswith("object:announcement"):
            text = event.any_data if isinstance(event.any_data, str) else str(event.any_data)
        elif kind.endswith("name"):
            text = event.source.name
        else:
            text = event.source.description
        events.append((kind, event.source, text))
        last[0] = time.monotonic()

    pyatspi.Registry.registerEventListener(listener, *KINDS)
    if action:
        GLib.timeout_add(50, lambda: action() and False)
    if later:
        GLib.timeout_add(int(later[0] * 1000), lambda: later[1]() and False)
    end = time.monotonic() + seconds

    def done():
        now = time.monotonic()
        if now >= end and (not until_quiet or now - last[0] >= 1 or now >= end + 10):
            pyatspi.Registry.stop()
            return False
        return True

    GLib.timeout_add(100, done)
    pyatspi.Registry.start()
    pyatspi.Registry.deregisterEventListener(listener, *KINDS)
    return events


def display_texts_until(held):
    """The texts the time display shows from the first tick on, each once, up to the held one:
    the tick arithmetic of the stopwatch (binary64, truncated), which repeats a text now and
    then (the display then sends no change)."""
    texts, elapsed = [], 0.0
    while len(texts) < 100000:
        elapsed += 0.1
        minutes = math.floor(elapsed / 60.0)
        minute_seconds = minutes * 60
        seconds = math.floor(elapsed - minute_seconds)
        tenths = math.floor(((elapsed - seconds) - minute_seconds) * 10.0)
        text = f"{minutes}:{seconds:02d}.{tenths}"
        if not texts or texts[-1] != text:
            texts.append(text)
        if text == held:
            return texts
    return texts


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

    announces = tuple(int(n) for n in os.environ.get("TEMPULIX_QT_VERSION", "0.0").split(".")[:2]) >= (6, 8)

    def of(events, kind, source):
        return [text for k, src, text in events if k.startswith(kind) and src == source]

    # Start, a second and a half of ticks, Stop, and everything sent until then.
    events = collect_events(1.6, lambda: press(buttons["Start"]), until_quiet=True,
                            later=(1.55, lambda: press(buttons["Stop"])))
    label.clearCache()
    frame.clearCache()
    held = label.name
    title = f"{held} - Tempulix {DOMAIN}"
    label_names = of(events, "object:property-change:accessible-name", label)
    expected = display_texts_until(held)
    check(TIME.match(held) and expected[-1] == held, f"the time holds at a time: {held!r}")
    # Lossless: every change is an event of its own, however late it is read.
    check(len(label_names) == len(expected) and len(expected) >= 5,
          f"a name change of the time display for each new time: {len(label_names)} changes, "
          f"{len(expected)} times up to {held}")
    check(all(TIME.match(n) for n in label_names), f"each one a time: {label_names[:3]} ...")
    # The window's name is not changed on a tick (a screen reader would read out each), and
    # once, to the title, when the time stands.
    frame_names = of(events, "object:property-change:accessible-name", frame)
    check(frame_names == [title] and frame.name == title,
          f"the window's name changes once, when stopped, to the title: {frame_names}, "
          f"now {frame.name!r}")
    descriptions = of(events, "object:property-change:accessible-description", label)
    check(descriptions == ["Elapsed time, running", "Elapsed time, stopped"],
          f"the description says it runs, then that it stands: {descriptions}")
    announced = of(events, "object:announcement", label)
    start = buttons["Start"]
    start.clearCache()
    if announces:
        check(announced == [f"Stopped at {held}"], f"the held time announced once: {announced}")
    else:
        check(not announced and start.description == f"Stopped at {held}",
              f"the held time with Start, which takes the focus: {start.description!r}")

    events = collect_events(0.5)
    check(not of(events, "object:property-change:accessible-name", label),
          "no change while stopped")
    check(frame.name == title, f"the title holds it too: {frame.name!r}")

    # Reset through the Action interface as well.
    events = collect_events(0, lambda: press(buttons["Reset"]), until_quiet=True)
    label.clearCache()
    check(label.name == "0:00.0", f"Reset: {label.name!r}")
    announced = of(events, "object:announcement", label)
    if announces:
        check(announced == ["0:00.0"], f"the reset announced: {announced}")
    check(not of(events, "object:property-change:accessible-name", frame),
          "the window's name stays: the title keeps the time")

    print(f"{len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
