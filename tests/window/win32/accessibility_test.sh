#!/usr/bin/env bash
# The Windows program as a screen reader on Windows reads it: accessibility_client asks Active
# Accessibility for the window and its children while the stopwatch runs and after it stops,
# all under 32-bit Wine (run under with_desktop.sh). Arguments: the program's .exe, the client's
# .exe, the Wine prefix folder.
set -u
exe=$1
client=$2
prefix=$3
here=$(dirname "$(readlink -f "$0")")
. "$here/wine_env.sh"
drive_under_wine "$exe"
time_pattern='^[0-9]+:[0-5][0-9]\.[0-9]$'

# Runs the client; its report lands in $work/$1.
read_window() { "$wine" "$client" "$(windows_path "$work/$1")" 2>/dev/null && [ -s "$work/$1" ]; }
names() { sed -n 's/^child [0-9-]* //p' "$work/$1" | tail -n +2 | tr '\n' '|'; }
time_name() { sed -n 's/^child [0-9-]* //p' "$work/$1" | head -n1; }

launch || { fail "no window"; exit 1; }
if read_window start; then
  if [ "$(time_name start)" = "   0:00.0" ] && [ "$(sed -n 's/^window //p' "$work/start")" = "Tempulix - by tempulix.example" ]; then
    pass "before the start: the time display and the window read as designed"
  else
    fail "before the start: $(tr '\n' '|' <"$work/start")"
  fi
  if [ "$(names start)" = "Start|Stop|Reset|Exit|" ]; then pass "the buttons' names, the picture-only Exit too"; else fail "buttons: $(names start)"; fi
else
  fail "the client found no window"
fi

xdotool key s
eventually title_at_least 2
if read_window running && [[ "$(time_name running)" =~ $time_pattern ]] && [ "$(time_name running)" != 0:00.0 ]; then
  pass "while running, the time display's name is the time: $(time_name running)"
else
  fail "while running: $(tr '\n' '|' <"$work/running" 2>/dev/null)"
fi

xdotool key t
within 10 holding
shown=$(title)
if read_window stopped && [ "$(time_name stopped) - Tempulix tempulix.example" = "$shown" ] &&
   [ "$(sed -n 's/^window //p' "$work/stopped")" = "$shown" ]; then
  pass "stopped: the time display and the window name the time held ($shown)"
else
  fail "stopped, title '$shown': $(tr '\n' '|' <"$work/stopped" 2>/dev/null)"
fi

close_window
await_end
echo "$failures failed"
[ "$failures" = 0 ]
