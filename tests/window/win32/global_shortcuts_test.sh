#!/usr/bin/env bash
# The Windows program's global shortcuts under Wine (run it under with_desktop.sh). Pressed while
# another Windows program's window has the keyboard, Ctrl+Alt+Shift+F9 starts and stops the
# stopwatch and Ctrl+Alt+Shift+F10 resets it (seen in its title and its time display), while the
# other window keeps the keyboard and stays in front, in Wine and on X; coming back, the user
# finds the focus where the handlers put it. A key held down acts once. With F9 held by the
# other program first, the stopwatch says so in one line on stderr, works with F10 and its
# buttons, and the other program keeps its key. The other program is a Windows one: Wine 8 hears
# hot keys only while one of its own windows has the keyboard (it grabs no keys from X).
# Arguments: the program's .exe, other_program's, window_client's, accessibility_client's, the
# Wine prefix folder. WINDOWS_VERSION=vista: Wine reports Windows Vista, which knows no
# MOD_NOREPEAT.
set -u
exe=$1
other_exe=$2
client=$3
reader=$4
prefix=$5
here=$(dirname "$(readlink -f "$0")")
. "$here/wine_env.sh"
drive_under_wine "$exe"

# The hot keys the program registers, from Wine's relay trace on its stderr.
"$wine" reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /t REG_SZ /d user32.RegisterHotKey /f \
  >/dev/null 2>&1
modifiers=4007  # MOD_NOREPEAT | MOD_SHIFT | MOD_CONTROL | MOD_ALT
if [ "${WINDOWS_VERSION:-}" = vista ]; then
  "$wine" reg add 'HKCU\Software\Wine' /v Version /t REG_SZ /d vista /f >/dev/null 2>&1
  modifiers=7
fi
program=(env WINEDEBUG=-all,+relay "$wine" "$exe")
registered() {
  sed -n 's/.*Call user32\.RegisterHotKey([0-9a-f]*,0*\([0-9a-f]*\),0*\([0-9a-f]*\),0*\([0-9a-f]*\)).*/\1 \2 \3/p' \
    "$work/stderr" | tr '\n' '|'
}
# What the program itself said on stderr (in text mode: its lines end in CR LF).
said() { grep -a '^Tempulix' "$work/stderr" | tr -d '\r'; }

other_title="Tempulix test: other program"
# The other program's window, holding Ctrl+Alt+Shift+F<F> first if given F; its X window in
# $other once it is shown.
start_other() {
  rm -f "$work/other"
  "$wine" "$other_exe" "$(windows_path "$work/other")" window "$other_title" "$@" 2>/dev/null &
  other_pid=$!
  within 60 grep -qx window "$work/other" 2>/dev/null && other=$(client_named "^$other_title\$")
}
heard_by_other() { grep -c '^hotkey$' "$work/other"; }
try_key() { "$wine" "$other_exe" "$(windows_path "$work/try")" try "$1" 2>/dev/null; cat "$work/try"; }
read_focus() { client focus focus && tr '\n' '|' <"$work/focus"; }
# The other window is in front and has the keyboard: for Wine (its foreground window, and the
# stopwatch is not its thread's active window) and for the window manager.
other_in_front() {
  read_focus >/dev/null && grep -qx "foreground $other_title" "$work/focus" &&
    grep -qx 'active no' "$work/focus" && [ "$(active_window)" = "$((other))" ]
}
bring_other_to_front() {
  xdotool windowactivate --sync "$other" 2>/dev/null
  within 60 other_in_front || fail "the other program's window could not be put in front: $(read_focus)"
}
# After a press: the other window still in front, and up to the stopwatch's answer to a ping
# (after all it did for the press) nobody asked the window manager to flash the stopwatch.
still_in_front() {
  local line flashed
  if ! line=$(ping_answered); then
    fail "$1: no answer to a ping"
    return
  fi
  flashed=$(sed -n "$((since + 1)),${line}p" "$work/record" |
    grep "^$(printf '%#x' "$window") asks add .*_NET_WM_STATE_DEMANDS_ATTENTION")
  if [ -z "$flashed" ] && other_in_front; then
    pass "$1: the other program's window stays in front with the keyboard"
  else
    fail "$1: flashed '$flashed', Wine: $(read_focus), X active $(active_window) (other $((other)))"
  fi
}
press() { since=$(mark); xdotool key "ctrl+alt+shift+$1"; }
# The time display as a screen reader reads it.
time_read() {
  "$wine" "$reader" "$(windows_path "$work/read")" 2>/dev/null &&
    sed -n 's/^child [0-9-]* //p' "$work/read" | head -n1
}
reset_shown() { [ "$(time_read)" = 0:00.0 ]; }
focus_on() { read_focus >/dev/null && grep -qx "active yes" "$work/focus" && grep -qx "focus $1" "$work/focus"; }

# --- The two keys, with the other program in front.
start_recording || exit 1
launch || { fail "no window"; cat "$work/stderr"; exit 1; }
if [ "$(registered)" = "1 $modifiers 78|2 $modifiers 79|" ]; then
  pass "registered Ctrl+Alt+Shift+F9 and F10 (modifiers $modifiers)"
else
  fail "hot keys registered (id, modifiers, key): '$(registered)'"
fi
if [ -z "$(said)" ]; then pass "nothing said with both keys free"; else fail "said: $(said)"; fi
held9=$(try_key 9)
held10=$(try_key 10)
if [ "$held9|$held10" = "not held 1409|not held 1409" ]; then
  pass "while it runs, another program cannot have F9 or F10 (ERROR_HOTKEY_ALREADY_REGISTERED)"
else
  fail "another program trying F9: '$held9', F10: '$held10'"
fi
start_other || { fail "no window of the other program"; exit 1; }
bring_other_to_front

press F9
if within 60 running; then pass "F9 started it: $(title)"; else fail "F9 did not start it: '$(title)'"; fi
still_in_front "started"

press F9
if within 60 holding; then pass "F9 stopped it: $(title)"; else fail "F9 did not stop it: $(title)"; fi
stopped=$(title)
still_in_front "stopped"

press F10
if within 60 reset_shown && [ "$(title)" = "$stopped" ]; then
  pass "F10 reset the time display, the title still shows the time held"
else
  fail "after F10 the time display reads '$(time_read)', the title '$(title)'"
fi
still_in_front "reset"

press F9
if within 60 running_since "$stopped"; then pass "F9 started it again: $(title)"; else fail "F9 did not start it again: $(title)"; fi
still_in_front "started again"

# Back in the stopwatch: the focus is on Stop, where Start put it while the other was in front.
xdotool windowactivate --sync "$window" 2>/dev/null
if within 60 focus_on Command2; then
  pass "coming back, the focus is on Stop"
else
  fail "coming back: $(read_focus)"
fi
# Pressed in the stopwatch itself, Stop moves the focus at once.
press F9
if within 60 holding && within 60 focus_on Command1; then
  pass "F9 in the stopwatch itself stopped it, the focus on Start"
else
  fail "F9 in the stopwatch itself: $(title), $(read_focus)"
fi

# Held down with the other program in front, F9 starts it once: the keyboard's repeats (on this
# desktop 25 a second, as seen below where another program holds F9; Wine 8 hands them on
# whatever MOD_NOREPEAT asks) would start and stop it faster than it ticks, and the time would
# not move on. Let go, F9 stops it again.
bring_other_to_front
from=$(tenths_of "$(title)")
since=$(mark)
xdotool keydown ctrl+alt+shift+F9
if within 60 title_at_least $((from + 20)); then
  pass "F9 held down started it once: two seconds on while held ($(title))"
else
  fail "F9 held down: $(title), from $from tenths"
fi
xdotool keyup F9
xdotool keyup ctrl+alt+shift
press F9
if within 60 holding; then pass "let go and pressed again, F9 stopped it"; else fail "let go and pressed again: $(title)"; fi
closes_cleanly "closing with both keys"
kill "$other_pid" 2>/dev/null
wait "$other_pid" 2>/dev/null
held9=$(try_key 9)
held10=$(try_key 10)
if [ "$held9|$held10" = "held|held" ]; then
  pass "closed, it has freed F9 and F10 for other programs"
else
  fail "after closing, another program trying F9: '$held9', F10: '$held10'"
fi

# --- F9 held by the other program first.
start_other 9 || { fail "no window of the other program holding F9"; exit 1; }
grep -qx held "$work/other" || fail "the other program could not hold F9: $(cat "$work/other")"
launch || { fail "no window with F9 held elsewhere"; cat "$work/stderr"; exit 1; }
if [ "$(said)" = "Tempulix: Ctrl+Alt+Shift+F9 is held by another program, so Start or stop has no global shortcut" ]; then
  pass "said once: $(said)"
else
  fail "said: '$(said)'"
fi
bring_other_to_front
press F10
if within 60 reset_shown; then pass "F10 still works"; else fail "F10 with F9 held elsewhere: '$(time_read)'"; fi
# Held until the other program has heard it three times: it comes with the keyboard's repeats.
xdotool keydown ctrl+alt+shift+F9
if within 60 eval '[ "$(heard_by_other)" -ge 3 ]'; then
  pass "held, F9 went to the program that holds it ($(heard_by_other) presses with repeats)"
else
  fail "the program that holds F9 heard $(heard_by_other) presses"
fi
xdotool keyup F9
xdotool keyup ctrl+alt+shift
if holding && title_is "Tempulix - by tempulix.example"; then
  pass "F9 left the stopwatch alone"
else
  fail "F9 held elsewhere reached the stopwatch: $(title)"
fi
xdotool windowactivate --sync "$window" 2>/dev/null
xdotool key s
if within 60 running; then pass "its Start key still starts it"; else fail "S did not start it: $(title)"; fi
xdotool key t
if within 60 holding; then pass "its Stop key still stops it"; else fail "T did not stop it: $(title)"; fi
closes_cleanly "closing with F9 held elsewhere"
before=$(heard_by_other)
xdotool windowactivate --sync "$other" 2>/dev/null
within 60 eval '[ "$(active_window)" = "$((other))" ]' || fail "the other program's window could not be activated"
press F9
if within 60 eval '[ "$(heard_by_other)" -gt "$before" ]'; then
  pass "after the stopwatch ended, the other program still has F9"
else
  fail "after the stopwatch ended, the other program heard F9 $(heard_by_other) times, $before before"
fi
echo "$failures failed"
[ "$failures" = 0 ]
