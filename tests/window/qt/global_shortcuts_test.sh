#!/usr/bin/env bash
# The global shortcuts on an X11 desktop (run it under with_desktop.sh with a window manager):
# with another window active, Ctrl+Alt+Shift+F9 starts and stops the stopwatch and
# Ctrl+Alt+Shift+F10 resets it, seen in its title and label, while the other window keeps the
# activation and the focus and the stopwatch asks for no attention; the focus moves of the
# handlers are found in the stopwatch's window on coming back to it. A key that another client
# holds already: one line said, the other key and the stopwatch work. Arguments: the program.
set -u
program=("$@")
here=$(dirname "$(readlink -f "$0")")
. "$here/../x11_helpers.sh"
start_or_stop() { xdotool key ctrl+alt+shift+F9; }
reset() { xdotool key ctrl+alt+shift+F10; }
focused() { xdotool getwindowfocus 2>/dev/null; }
# The other window has the activation and the keyboard focus.
cover_keeps_it() { [ "$(active_window)" = "$((cover))" ] && [ "$(toplevel "$(focused)")" = "$(toplevel "$cover")" ]; }

start_recording || exit 1
launch || { fail "no window appeared"; cat "$work/stderr"; exit 1; }
eventually above
settled_label_shot start
first=$(mark)
xmessage -name tempulix_cover -geometry 300x100+600+500 "another program" 2>/dev/null &
cover_pid=$!
cover=$(timeout 10 xdotool search --sync --onlyvisible --classname tempulix_cover | head -n1)
[ -n "$cover" ] || { fail "the other window did not appear"; exit 1; }
xdotool windowactivate --sync "$cover" 2>/dev/null
within 30 cover_keeps_it || fail "the other window did not get the focus"

mark=$(mark)
start_or_stop
if within 30 times_recorded 3 "$mark"; then pass "Ctrl+Alt+Shift+F9 starts"; else fail "Ctrl+Alt+Shift+F9 does not start it: '$(title)'"; fi
if cover_keeps_it; then pass "the other window keeps the focus"; else fail "the focus went to $(focused), active $(active_window)"; fi
start_or_stop
if within 10 holding; then pass "Ctrl+Alt+Shift+F9 again stops"; else fail "Ctrl+Alt+Shift+F9 again does not stop it"; fi
held=$(title)
settled_label_shot stopped
reset
reset_shown() { label_shot reset && same_picture start reset; }
if ! same_picture start stopped && within 30 reset_shown; then pass "Ctrl+Alt+Shift+F10 shows 0:00.0"; else fail "the label after Ctrl+Alt+Shift+F10 is not 0:00.0"; fi
if holding && title_is "$held"; then pass "Ctrl+Alt+Shift+F10 keeps the title and the time still"; else fail "after Ctrl+Alt+Shift+F10 the title is '$(title)'"; fi
mark=$(mark)
start_or_stop
if within 30 times_recorded 2 "$mark" && [ "$(times_since "$mark" | head -n2 | tr '\n' ' ')" = "0:00.1 0:00.2 " ]; then
  pass "started again, it counts from zero"
else
  fail "after the reset the titles are: $(times_since "$mark" | head -n3 | tr '\n' ' ')"
fi
if cover_keeps_it; then pass "the other window still has the focus"; else fail "the focus went to $(focused), active $(active_window)"; fi
if recorded_since "$first" _NET_WM_STATE | grep -q DEMANDS_ATTENTION; then
  fail "the stopwatch asked for attention"
else
  pass "no attention asked for"
fi
# Start moved the stopwatch's focus to Stop: back in its window, Space stops it.
xdotool windowactivate --sync "$window" 2>/dev/null
within 30 eval '[ "$(active_window)" = "$((window))" ]'
xdotool key space
if within 10 holding; then pass "back in the window, the focus is on Stop"; else fail "Space in the window did not stop it"; fi
closes_cleanly
kill "$cover_pid" 2>/dev/null
[ -s "$work/stderr" ] && fail "the program printed: $(cat "$work/stderr")"

# Another program holds Ctrl+Alt+Shift+F9.
/usr/bin/python3 "$here/../hold_key.py" F9 >"$work/holder" 2>&1 &
holder=$!
within 30 grep -q '^held$' "$work/holder" || fail "the other program could not hold the key: $(cat "$work/holder")"
launch || { fail "no window with the key held"; exit 1; }
said() { [ "$(wc -l <"$work/stderr")" = 1 ]; }
if within 30 said && grep -q '^tempulix: the global shortcut Ctrl+Alt+Shift+F9 (Start or stop) is held by another program' "$work/stderr"; then
  pass "the key held by another program: said in one line"
else
  fail "the key held by another program: said '$(cat "$work/stderr")'"
fi
xdotool windowactivate --sync "$window" 2>/dev/null
mark=$(mark)
xdotool key s
if within 30 times_recorded 2 "$mark"; then pass "the key held elsewhere: S still starts"; else fail "the key held elsewhere: S does not start"; fi
reset
if within 10 holding && within 30 reset_shown; then pass "the key held elsewhere: Ctrl+Alt+Shift+F10 still resets"; else fail "the key held elsewhere: Ctrl+Alt+Shift+F10 does not reset"; fi
closes_cleanly "with the key held elsewhere"
[ "$(wc -l <"$work/stderr")" -gt 1 ] && fail "the program printed more: $(cat "$work/stderr")"
kill "$holder" 2>/dev/null
echo "$failures failed"
[ "$failures" = 0 ]
