#!/usr/bin/env bash
# The global shortcuts under GNOME Shell, through its desktop portal (run under with_desktop.sh
# gnome-shell, with the program's desktop file installed and the program on PATH, so that the
# portal knows it by its app id). The desktop's dialog offers the two shortcuts with their
# default keys; cancelled there, the program says so in one line; added, the keys pressed on the
# compositor's keyboard start, stop and reset the stopwatch, seen in its title, while another
# program (a Wayland window, whose keys XWayland never sees) keeps the focus. Started again, the
# choice stands: no dialog; and a key the user changed in the desktop's settings stays changed.
# Skipped where the desktop has no global shortcuts (GNOME 43). Arguments: the program.
set -u
program=("$@")
here=$(dirname "$(readlink -f "$0")")
. "$here/../x11_helpers.sh"
export START_TIMEOUT=${START_TIMEOUT:-60}
app_id=example.tempulix.tempulix
dialog="Add Keyboard Shortcuts"

interfaces=$(gdbus introspect --session --dest org.freedesktop.portal.Desktop \
  --object-path /org/freedesktop/portal/desktop 2>/dev/null)
if ! grep -q 'interface org.freedesktop.portal.GlobalShortcuts ' <<<"$interfaces"; then
  echo "SKIPPED: the desktop's portal has no GlobalShortcuts ($(gnome-shell --version 2>/dev/null))"
  exit 77
fi
if ! gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
  --method org.freedesktop.DBus.ListActivatableNames 2>/dev/null |
  grep -q "'org.gnome.Settings.GlobalShortcutsProvider'"; then
  echo "SKIPPED: GNOME's global-shortcuts provider (package gnome-control-center) is not installed"
  exit 77
fi

# The dialog is read and answered through AT-SPI, as a screen-reader user would.
. "$here/accessibility_bus.sh"

shell_eval() {
  gdbus call --session --dest org.gnome.Shell --object-path /org/gnome/Shell \
    --method org.gnome.Shell.Eval "$1" 2>/dev/null
}
# The string a JavaScript expression gives in the shell.
shell_value() { shell_eval "$1" | sed -n "s/^(true, '\"\(.*\)\"')$/\1/p"; }
# Ctrl+Alt+Shift and a key (its keysym name: F9), pressed and released on a virtual keyboard of
# the compositor's own, as a keyboard's keys reach it.
press() {
  [ "$(shell_value "const C = imports.gi.Clutter;
    globalThis.tempulixKeyboard ??= C.get_default_backend().get_default_seat()
      .create_virtual_device(C.InputDeviceType.KEYBOARD_DEVICE);
    const keys = [C.KEY_Control_L, C.KEY_Alt_L, C.KEY_Shift_L, C.KEY_$1];
    let time = imports.gi.GLib.get_monotonic_time();
    for (const key of keys) globalThis.tempulixKeyboard.notify_keyval(time++, key, C.KeyState.PRESSED);
    for (const key of keys.reverse()) globalThis.tempulixKeyboard.notify_keyval(time++, key, C.KeyState.RELEASED);
    'pressed'")" = pressed ] || fail "the shell did not take the key $1"
}
# The window with the keyboard focus, as the shell has it: its title and whether it is a Wayland
# or an X11 client.
focused() {
  shell_value 'const w = global.display.focus_window;
    w ? w.get_title() + "|" + (w.get_client_type() === imports.gi.Meta.WindowClientType.WAYLAND ? "wayland" : "x11") : "none"'
}
other_focused() { [ "$(focused)" = "Another program|wayland" ]; }
focus_other() {
  shell_value 'const w = global.get_window_actors().map(a => a.meta_window)
    .find(w => w.get_title() === "Another program");
    if (w) w.activate(global.get_current_time()); "asked"' >/dev/null
  other_focused
}
dialog_shown() {
  [ "$(shell_value "global.get_window_actors().some(a => a.meta_window.get_title() === '$dialog') ? 'shown' : 'none'")" = shown ]
}

# What the portal tells the program, as the session bus carries it: ShortcutsChanged once the
# shell has taken the keys of a bind, and each Activated with its shortcut's id.
dbus-monitor --session "type=signal,interface=org.freedesktop.portal.GlobalShortcuts" \
  >"$work/portal" 2>&1 &
eventually grep -q 'member=NameAcquired' "$work/portal" 2>/dev/null
binds() { grep -c 'member=ShortcutsChanged' "$work/portal"; }
bound_since() { [ "$(binds)" -gt "$1" ]; }
# The ids of the shortcuts activated, in order, one a line.
activations() {
  awk '/member=Activated/ { next_string = 1; next }
       next_string && /^ *string / { sub(/^ *string "/, ""); sub(/"$/, ""); print; next_string = 0 }' "$work/portal"
}

start_recording || exit 1

# A first start: the dialog offers both with their default keys. Cancelled: one line.
launch || { fail "no window appeared"; cat "$work/stderr"; exit 1; }
offered=$(/usr/bin/python3 "$here/shortcut_dialog.py" "$dialog" Cancel 2>&1)
if grep -qxF $'Start or stop\tShift+Ctrl+Alt+F9' <<<"$offered" && grep -qxF $'Reset\tShift+Ctrl+Alt+F10' <<<"$offered"; then
  pass "the desktop's dialog '$dialog' offers Start or stop (Ctrl+Alt+Shift+F9) and Reset (Ctrl+Alt+Shift+F10)"
else
  # Without the dialog nothing after it can be seen.
  fail "the dialog '$dialog' offered: $offered (the program said: '$(cat "$work/stderr")')"
  exit 1
fi
declined="tempulix: no global shortcuts: the desktop did not grant them (its dialog was cancelled, or it refused)."
said() { [ "$(cat "$work/stderr")" = "$declined" ]; }
if within 60 said; then pass "cancelled: one line says so"; else fail "cancelled: the program said '$(cat "$work/stderr")'"; fi
closes_cleanly "after the dialog was cancelled"

# Started again, asked again (nothing was kept); added.
before=$(binds)
launch || { fail "no window on the second start"; exit 1; }
offered=$(/usr/bin/python3 "$here/shortcut_dialog.py" "$dialog" Add 2>&1) || fail "no dialog on the start after it was cancelled: $offered"
if within 60 bound_since "$before"; then pass "added: the shell took the keys"; else fail "added: the portal never told of the keys taken"; fi

# Another program, a Wayland client, has the focus and keeps it.
zenity --info --title "Another program" --text "Another program has the keyboard focus" >/dev/null 2>&1 &
if within 30 focus_other; then pass "another program (a Wayland window) has the focus"; else fail "the other program never had the focus: $(focused)"; fi
mark=$(mark)
press F9
if within 20 title_at_least 3; then pass "Ctrl+Alt+Shift+F9 starts it"; else fail "after Ctrl+Alt+Shift+F9 the title is '$(title)'"; fi
if other_focused; then pass "the other program kept the focus"; else fail "after the key the focus is on $(focused)"; fi
press F9
if within 20 holding; then pass "Ctrl+Alt+Shift+F9 again stops it at '$(title)'"; else fail "after Ctrl+Alt+Shift+F9 again the title is '$(title)'"; fi
# Reset is seen in the next start: the titles count from 0:00.1 again.
press F10
mark=$(mark)
press F9
from_zero() { times_recorded 2 "$mark" && [ "$(times_since "$mark" | head -n2 | tr '\n' ' ')" = "0:00.1 0:00.2 " ]; }
if within 20 from_zero; then pass "Ctrl+Alt+Shift+F10 resets it"; else fail "after Ctrl+Alt+Shift+F10 and F9 the titles are: $(times_since "$mark" | head -n5 | tr '\n' ' ')"; fi
press F9
within 20 holding || fail "the last Ctrl+Alt+Shift+F9 did not stop it"
if other_focused; then pass "the other program has the focus still"; else fail "the focus went to $(focused)"; fi
[ -s "$work/stderr" ] && fail "the program printed: $(cat "$work/stderr")"
closes_cleanly "with the shortcuts bound"

# A third start: the choice stands, no dialog; the keys work at once.
before=$(binds)
launch || { fail "no window on the third start"; exit 1; }
if within 60 bound_since "$before"; then
  if dialog_shown; then fail "started again: the dialog came again"; else pass "started again: the keys bound without a dialog"; fi
else
  fail "started again: the keys were never bound (dialog shown: $(dialog_shown && echo yes || echo no))"
fi
within 30 focus_other || fail "the other program did not get the focus back: $(focused)"
press F9
if within 20 title_at_least 3; then pass "started again: Ctrl+Alt+Shift+F9 starts it"; else fail "started again: the title is '$(title)'"; fi
press F9
within 20 holding || fail "started again: the second Ctrl+Alt+Shift+F9 did not stop it"
closes_cleanly "started again"

# The user changes Start or stop to Ctrl+Alt+Shift+F8 in the desktop's settings (where GNOME's
# Settings keeps it), and starts the program again: the key stays the user's.
schema=org.gnome.settings-daemon.global-shortcuts.application:/org/gnome/settings-daemon/global-shortcuts/$app_id/
kept=$(gsettings get "$schema" shortcuts)
changed=${kept//"<Alt>F9'"/"<Alt>F8'"}
if [ "$changed" = "$kept" ]; then
  fail "the desktop's settings hold no Ctrl+Alt+Shift+F9 to change: $kept"
fi
gsettings set "$schema" shortcuts "$changed"
before=$(binds)
launch || { fail "no window after the key was changed"; exit 1; }
within 60 bound_since "$before" || fail "after the key was changed: never bound"
dialog_shown && fail "after the key was changed: the dialog came again"
within 30 focus_other || fail "the other program did not get the focus back: $(focused)"
press F8
if within 20 title_at_least 3; then pass "the user's Ctrl+Alt+Shift+F8 starts it"; else fail "after the user's Ctrl+Alt+Shift+F8 the title is '$(title)'"; fi
press F8
within 20 holding || fail "the user's Ctrl+Alt+Shift+F8 did not stop it"
# The old key does nothing: pressed before Reset's key, the desktop activates Reset alone.
count=$(activations | wc -l)
press F9
press F10
reset_activated() { activations | tail -n +"$((count + 1))" | grep -qx reset; }
if within 20 reset_activated; then
  after=$(activations | tail -n +"$((count + 1))" | tr '\n' ' ')
  if [ "$after" = "reset " ]; then pass "the old Ctrl+Alt+Shift+F9 is bound no more"; else fail "after F9 and F10 the desktop activated: $after"; fi
else
  fail "Ctrl+Alt+Shift+F10 was not activated"
fi
now=$(gsettings get "$schema" shortcuts)
if [ "$now" = "$changed" ]; then pass "the desktop's settings keep the user's key"; else fail "the settings now hold: $now"; fi
[ -s "$work/stderr" ] && fail "the program printed: $(cat "$work/stderr")"
closes_cleanly "after the key was changed"

echo "$failures failed"
[ "$failures" = 0 ]
