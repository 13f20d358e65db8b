#!/usr/bin/env bash
# What a screen-reader user hears: Orca itself run against the real program (run under
# with_desktop.sh), in a D-Bus session of its own with the accessibility bus on, its speech going
# through speech-dispatcher to a file, one line an utterance. Start-up, S, three seconds of
# running with the focus on Stop and on Exit, Tab, T, R, and Orca's "read title" while running
# and while stopped; the global shortcuts pressed in another window. Nothing may be said per tick. Argument: the program. TEMPULIX_QT_VERSION:
# the Qt it was built with (announcements need 6.8).
set -u
if [ "${1:-}" != --in-session ]; then
  if ! command -v orca >/dev/null || ! command -v speech-dispatcher >/dev/null; then
    echo "SKIPPED: Orca or speech-dispatcher is not installed"
    exit 77
  fi
  exec dbus-run-session -- "$0" --in-session "$@"
fi
program=("$2")
. "$(dirname "$(readlink -f "$0")")/../x11_helpers.sh"
spoken=$work/spoken.txt
: >"$spoken"

# speech-dispatcher with one output module that writes each utterance to the file.
conf=$work/speech-dispatcher
mkdir -p "$conf/modules"
cat >"$conf/speechd.conf" <<CONF
AudioOutputMethod "alsa"
AudioALSADevice "null"
AddModule "textlog" "sd_generic" "textlog.conf"
DefaultModule textlog
LanguageDefaultModule "en" "textlog"
CONF
cat >"$conf/modules/textlog.conf" <<CONF
GenericExecuteSynth "printf '%s\\\\n' \\'\$DATA\\' >> $spoken"
GenericStripPunctChars ""
AddVoice "en" "MALE1" "en"
CONF
. "$(dirname "$(readlink -f "$0")")/accessibility_bus.sh"
speech-dispatcher -s -t 0 -C "$conf" -L "$work" >"$work/speechd.log" 2>&1 &
orca --debug-file="$work/orca.log" >"$work/orca.out" 2>&1 &

# Each utterance as one line: Orca 43 says "push button" where 48 says "button", and ends some
# with a full stop.
said() { sed -e 's/[[:space:].]*$//' -e 's/ push button$/ button/' "$spoken"; }
said_since() { said | tail -n +"$(($1 + 1))"; }
lines() { said | wc -l; }
# Waits (up to 20 s: a screen reader on a busy machine is slow) until a line since the mark is
# the one given.
hears() {
  local mark=$1 line=$2
  for _ in $(seq 200); do
    said_since "$mark" | grep -q -x -F -- "$line" && return 0
    sleep 0.1
  done
  return 1
}
# Orca's "read title" (Orca+Enter on the keypad; the Orca key is Insert).
read_title() { xdotool keydown Insert key KP_Enter keyup Insert; }
time_pattern='[0-9]+:[0-5][0-9]\.[0-9]'
# Nothing said since the mark carries a time.
no_time_since() { ! said_since "$1" | grep -q -E -- "$time_pattern"; }
check_hears() {
  if hears "$1" "$2"; then pass "$3: '$2'"; else fail "$3: no '$2' in: $(said_since "$1" | tr '\n' '|')"; fi
}

if ! hears 0 "Screen reader on"; then
  fail "Orca did not start: $(tail -n 3 "$work/orca.out" | tr '\n' ' ')"
  exit 1
fi
mark=$(lines)
launch --no-activate || { fail "no window"; exit 1; }
xdotool windowactivate --sync "$window" 2>/dev/null
# (Orca 43 and 48 add the role, "frame"; Orca 51 says the name alone.)
if hears "$mark" "Tempulix - by tempulix.example frame" || hears "$mark" "Tempulix - by tempulix.example"; then
  pass "start-up: the window, by its title"
else
  fail "start-up: the window's title not said: $(said_since "$mark" | tr '\n' '|')"
fi
check_hears "$mark" "Start button" "start-up: the focus"

mark=$(lines)
xdotool key s
check_hears "$mark" "Stop button" "S: the focus moves to Stop"
eventually title_at_least 1
# Three seconds of ticks, then a key whose answer Orca speaks: heard, it proves Orca had heard
# and judged all that came before it.
mark=$(lines)
sleep 3
xdotool key shift+Tab
check_hears "$mark" "Start button" "shift+Tab after 3 s running: Start"
if no_time_since "$mark"; then pass "3 s running, focus on Stop: no tick said"; else fail "said while running: $(said_since "$mark" | tr '\n' '|')"; fi

# While it runs, the window's name stays the one last told (see window/qt/screen_reader.h).
# (Read with the focus on Start: should Orca answer Qt too late on a busy machine, the Enter of
# its keys reaches the program, and on Start it changes nothing.)
mark=$(lines)
read_title
check_hears "$mark" "Tempulix - by tempulix.example" "read title while running: the title it was told"

mark=$(lines)
xdotool key Tab Tab
check_hears "$mark" "Reset button" "Tab: Reset"
xdotool key Tab
check_hears "$mark" "Exit button" "Tab: Exit"
mark=$(lines)
sleep 3
xdotool key shift+Tab
check_hears "$mark" "Reset button" "shift+Tab after 3 s running: Reset"
if no_time_since "$mark"; then pass "3 s running, focus on Exit: no tick said"; else fail "said while running: $(said_since "$mark" | tr '\n' '|')"; fi

mark=$(lines)
xdotool key t
within 10 holding
held=$(title)
held_time=${held%% - *}
check_hears "$mark" "Start button" "T: the focus moves to Start"
check_hears "$mark" "Stopped at $held_time" "T: the held time, once"
# Then a key Orca answers: everything said of the stop is said by then. (Away from Start, whose
# description holds the time before Qt 6.8, and back only once it is counted.)
marked=$(lines)
xdotool key shift+Tab
check_hears "$marked" "Exit button" "shift+Tab after T: Exit"
if [ "$(said_since "$mark" | grep -c -F -- "$held_time")" = 1 ]; then
  pass "the held time said once"
else
  fail "the held time said other than once: $(said_since "$mark" | tr '\n' '|')"
fi
# Read with the focus on Stop, where a late Enter changes nothing while stopped, but the focus.
xdotool key Tab Tab
check_hears "$marked" "Stop button" "Tab, Tab: Stop"

mark=$(lines)
read_title
check_hears "$mark" "$held" "read title while stopped: the title"
# T again: while stopped it moves the focus to Start and does nothing else.
mark=$(lines)
xdotool key t
check_hears "$mark" "Start button" "T while stopped: the focus on Start"

mark=$(lines)
xdotool key r
case "${TEMPULIX_QT_VERSION:-0}" in
  6.[0-7].* | 6.[0-7])
    # Before Qt 6.8 nothing can be announced, and the focus stays on Start; a key Orca answers
    # (away from Start, whose description is the time then) shows that it has heard all before.
    xdotool key shift+Tab
    check_hears "$mark" "Exit button" "shift+Tab after R: Exit"
    if ! said_since "$mark" | grep -q -F "0:00.0"; then pass "R: nothing to say it with (Qt $TEMPULIX_QT_VERSION)"; else fail "R said: $(said_since "$mark" | tr '\n' '|')"; fi
    xdotool key Tab
    ;;
  *) check_hears "$mark" "0:00.0" "R: the time reset" ;;
esac
# The focus on Start again: one key more, answered, and all is said.
marked=$(lines)
xdotool key Tab
check_hears "$marked" "Stop button" "Tab at the end: Stop"
times=$(said | grep -o -E -- "$time_pattern" | sort -u | tr '\n' ' ')
if [ "$times" = "$(printf '%s\n' "$held_time" 0:00.0 | sort -u | tr '\n' ' ')" ] ||
   [ "$times" = "$held_time " ]; then
  pass "no time said but the held one and the reset: $times"
else
  fail "times said: $times"
fi

# The global shortcuts, pressed while another window has the focus: Orca hears no more than the
# buttons make it say (here: no focus move, since the focus is elsewhere; the held time at most),
# and the window as the buttons left it on coming back.
xmessage -name tempulix_cover -geometry 300x100+600+500 "another program" 2>/dev/null &
cover_pid=$!
cover=$(timeout 10 xdotool search --sync --onlyvisible --classname tempulix_cover | head -n1)
xdotool windowactivate --sync "$cover" 2>/dev/null
mark=$(lines)
xdotool key ctrl+alt+shift+F9
eventually running_since "$(title)"
xdotool key ctrl+alt+shift+F9
within 10 holding
shortcut_held=$(title)
xdotool windowactivate --sync "$window" 2>/dev/null
check_hears "$mark" "Start button" "back after Ctrl+Alt+Shift+F9 twice: the focus on Start"
# (Orca's echo of the keys themselves, which it may give whichever window has the focus, is Orca's
# own and comes with a button's key as well; Orca 51 says Start's access key after the button.)
unexpected=$(said_since "$mark" | grep -v -x -F -e "Start button" -e "Alt+S" -e "Stopped at ${shortcut_held%% - *}" \
  -e "$shortcut_held frame" -e "$shortcut_held" -e "$held frame" -e "$held" |
  grep -v -x -E '((left|right) )?(control|alt|shift)|F9')
if [ -z "$unexpected" ]; then
  pass "the shortcuts said nothing the buttons do not: $(said_since "$mark" | tr '\n' '|')"
else
  fail "the shortcuts made Orca say: $(tr '\n' '|' <<<"$unexpected")"
fi
kill "$cover_pid" 2>/dev/null

close_window
await_end
[ "$status" = 0 ] || fail "closing: $status"
if [ -s "$work/stderr" ]; then fail "the program printed: $(cat "$work/stderr")"; fi
echo "heard: $(said | tr '\n' '|')"
echo "$failures failed"
[ "$failures" = 0 ]
