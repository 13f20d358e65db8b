"""The desktop's dialog that asks the user for an application's global shortcuts, as a screen
reader sees it through AT-SPI (GNOME's is a frame "Add Keyboard Shortcuts" with one row for each
shortcut, its description and key, and the buttons Cancel and Add).

shortcut_dialog.py TITLE [BUTTON]: waits (two minutes at most) for a frame of that title, prints
each row as "description<TAB>key", and, where BUTTON is named, presses it through its action, as
a screen-reader user would. Exits 1 where no such frame or button appears.
"""
import sys
import time

import pyatspi


def walk(accessible, depth=0):
    if accessible is None or depth > 40:
        return
    yield accessible
    for index in range(accessible.childCount):
        yield from walk(accessible.getChildAtIndex(index), depth + 1)


def find_frame(title):
    desktop = pyatspi.Registry.getDesktop(0)
    for index in range(desktop.childCount):
        application = desktop.getChildAtIndex(index)
        if application is None:
            continue
        for index2 in range(application.childCount):
            frame = application.getChildAtIndex(index2)
            if frame is not None and frame.getRole() == pyatspi.ROLE_FRAME and frame.name == title:
                return frame
    return None


def rows(frame):
    """Each list item's labels: the description, then the key."""
    for item in walk(frame):
        if item.getRole() == pyatspi.ROLE_LIST_ITEM:
            labels = [a.name for a in walk(item) if a.getRole() == pyatspi.ROLE_LABEL]
            yield labels


def main():
    title = sys.argv[1]
    button = sys.argv[2] if len(sys.argv) > 2 else None
    deadline = time.monotonic() + 120
    frame = None
    while frame is None:
        try:
            frame = find_frame(title)
        except Exception:  # an application that went while it was asked
            frame = None
        if frame is None:
            if time.monotonic() > deadline:
                print(f"no frame '{title}'", file=sys.stderr)
                return 1
            time.sleep(0.1)
    # Its rows come once the desktop has read the keys it keeps.
    found = list(rows(frame))
    while not found and time.monotonic() < deadline:
        time.sleep(0.1)
        found = list(rows(frame))
    for labels in found:
        print("\t".join(labels))
    if button is None:
        return 0
    for accessible in walk(frame):
        if accessible.getRole() == pyatspi.ROLE_PUSH_BUTTON and accessible.name == button:
            accessible.queryAction().doAction(0)
            return 0
    print(f"no button '{button}' in '{title}'", file=sys.stderr)
    return 1


sys.exit(main())
