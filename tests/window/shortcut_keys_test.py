#!/usr/bin/python3
"""The global shortcuts' default keys against the desktops' own default bindings:
shortcut_keys_test.py MANUAL_PAGE ACCESSIBILITY_DOC. The keys are read where users read them: the
manual page's GLOBAL SHORTCUTS section and docs/accessibility.md, which must name the same. No
default binding of GNOME (the keybinding schemas installed, read with gsettings from a settings
store of its own), of Xfce (its default xfce4-keyboard-shortcuts.xml) or of KDE's KWin (what KWin
registers with kglobalaccel when it starts; needs an X display and a session bus of its own) may
use them. Prints what it compared; fails on a clash or on keys that differ between the two."""
import os
import re
import subprocess
import sys
import tempfile
import time
import xml.etree.ElementTree as ElementTree

failures = 0


def fail(text):
    global failures
    failures += 1
    print(f"FAIL: {text}", flush=True)


def keys_in(path):
    """The lines "Ctrl+Alt+Shift+F9  Start or stop" of a file, as {key: action}."""
    found = {}
    with open(path, encoding="utf-8") as text:
        for line in text:
            match = re.match(r"^\s*`?((?:(?:Ctrl|Alt|Shift|Super)\+)+F\d+)`?\s{2,}(\S.*?)\s*$", line)
            if match:
                found[match.group(1)] = match.group(2)
    return found


def normal(modifiers, key):
    """A key as a comparable pair: its modifiers' names and the key's own name, lower case."""
    names = {"primary": "ctrl", "control": "ctrl", "ctrl": "ctrl", "alt": "alt", "mod1": "alt",
             "shift": "shift", "super": "super", "meta": "super", "mod4": "super"}
    return frozenset(names.get(m.lower(), m.lower()) for m in modifiers), key.lower()


def ours(key):
    *modifiers, name = key.split("+")
    return normal(modifiers, name)


def accelerator(text):
    """A GTK accelerator such as <Primary><Alt>F9."""
    modifiers = re.findall(r"<([^>]+)>", text)
    return normal(modifiers, re.sub(r"<[^>]+>", "", text))


def gnome():
    bindings = set()
    with tempfile.TemporaryDirectory() as home:
        environment = dict(os.environ, XDG_CONFIG_HOME=home, GSETTINGS_BACKEND="memory")
        listing = subprocess.run(["gsettings", "list-recursively"], capture_output=True, text=True,
                                 env=environment, check=True).stdout
    schemas = set()
    for line in listing.splitlines():
        schema, _, value = line.partition(" ")
        if "keybindings" in schema or "media-keys" in schema:
            schemas.add(schema)
            for text in re.findall(r"'([^']*)'", value):
                if text:
                    bindings.add(accelerator(text))
    return bindings, f"{len(bindings)} bindings in {len(schemas)} schemas"


def xfce(path="/etc/xdg/xfce4/xfconf/xfce-perchannel-xml/xfce4-keyboard-shortcuts.xml"):
    bindings = set()
    for element in ElementTree.parse(path).iter("property"):
        name = element.get("name", "")
        if "<" in name or re.fullmatch(r"F\d+|Print|[A-Za-z_]+", name):
            bindings.add(accelerator(name))
    return bindings, f"{len(bindings)} bindings in {path}"


# Qt's modifier bits and keys, as kglobalaccel reports a key sequence.
QT_MODIFIERS = {0x02000000: "shift", 0x04000000: "ctrl", 0x08000000: "alt", 0x10000000: "super"}
QT_KEY_F1 = 0x01000030


def kwin():
    daemon = next((p for p in ("/usr/bin/kglobalaccel5", "/usr/libexec/kglobalacceld",
                               "/usr/lib/x86_64-linux-gnu/libexec/kglobalacceld",
                               "/usr/lib/aarch64-linux-gnu/libexec/kglobalacceld")
                   if os.access(p, os.X_OK)), None)
    if daemon is None:
        return None, "no kglobalaccel on this system"
    started = [subprocess.Popen([daemon], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)]
    try:
        started.append(subprocess.Popen(["kwin_x11", "--replace"], stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL))
        reply = ""
        # KWin registers its actions once it is up; waited for until it has, or has died.
        deadline = time.monotonic() + 180
        while time.monotonic() < deadline and started[1].poll() is None:
            reply = subprocess.run(
                ["gdbus", "call", "--session", "--dest", "org.kde.kglobalaccel", "--object-path",
                 "/component/kwin", "--method", "org.kde.kglobalaccel.Component.allShortcutInfos"],
                capture_output=True, text=True).stdout
            if reply.count("'kwin'") > 50:
                break
            time.sleep(0.2)
        if reply.count("'kwin'") <= 50:
            return None, "KWin registered no shortcuts"
    finally:
        for process in started:
            process.terminate()
            process.wait()
    bindings = set()
    # Each action: (name, text, component, ..., [active keys], [default keys]).
    for defaults in re.findall(r"\[[^\[\]]*\], \[([^\[\]]*)\]\)", reply):
        for number in re.findall(r"\d+", defaults):
            value = int(number)
            modifiers = [name for bit, name in QT_MODIFIERS.items() if value & bit]
            key = value & 0x01ffffff
            if QT_KEY_F1 <= key < QT_KEY_F1 + 35:
                bindings.add(normal(modifiers, f"F{key - QT_KEY_F1 + 1}"))
            elif value:
                bindings.add(normal(modifiers, f"#{key:x}"))
    return bindings, f"{len(bindings)} default keys that KWin registers"


def main(manual_page, accessibility):
    in_manual = keys_in(manual_page)
    in_docs = keys_in(accessibility)
    if len(in_manual) < 2:
        fail(f"the manual page names {len(in_manual)} global shortcuts")
    if in_manual != in_docs:
        fail(f"the manual page ({in_manual}) and the accessibility page ({in_docs}) differ")
    else:
        print(f"ok: the manual page and the accessibility page name the same keys: {in_manual}")
    # A binding each desktop has by default (closing a window): found, or the reading is wrong.
    for desktop, look in (("GNOME", gnome), ("Xfce", xfce), ("KDE's KWin", kwin)):
        bindings, what = look()
        if bindings is None:
            print(f"SKIPPED: {desktop}: {what}")
            continue
        if ours("Alt+F4") not in bindings:
            fail(f"{desktop}: Alt+F4 not found among {what}: the bindings were misread")
        for key, action in in_manual.items():
            if ours(key) in bindings:
                fail(f"{desktop} binds {key} ({action}) by default")
            else:
                print(f"ok: {desktop} does not bind {key} ({action}) by default; {what}")
    print(f"{failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
