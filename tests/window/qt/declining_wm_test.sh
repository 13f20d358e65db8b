#!/usr/bin/env bash
# The stopwatch under a window manager that lists keep-above and never grants it, and announces
# itself again three times while the stopwatch runs (run it under with_desktop.sh bare, with
# declining_wm.py as the window manager): the GUI thread never waits for the window manager, so
# the time shown at T is within 0.3 s of the real time since S. Arguments: the program.
set -u
program=("$@")
here=$(dirname "$(readlink -f "$0")")
. "$here/../x11_helpers.sh"

/usr/bin/python3 "$here/../declining_wm.py" 4 3 >"$work/wm.out" 2>"$work/wm.err" &
wm=$!
eventually grep -q '^ready$' "$work/wm.out" || { fail "the window manager did not start: $(cat "$work/wm.err")"; exit 1; }
launch --no-activate || { fail "no window appeared"; cat "$work/stderr"; exit 1; }
xdotool windowfocus --sync "$window" 2>/dev/null
eventually eval '[ "$(title)" = "Tempulix - by tempulix.example" ]'

started=$(date +%s%N)
xdotool key s
eventually running || fail "S did not start it"
# Twelve seconds of running, in which the window manager announces itself three times.
until [ "$(grep -c '^announced' "$work/wm.out")" -ge 3 ]; do sleep 0.1; done
sleep 1
xdotool key t
stopped=$(date +%s%N)
within 10 holding || fail "T did not stop it"
shown=$(tenths_of "$(title)")
real=$(( (stopped - started) / 100000000 ))  # in tenths
echo "real ${real} tenths, shown ${shown:-?} tenths ($(grep -c '^announced' "$work/wm.out") announcements)"
if [ -n "$shown" ] && [ $((real - shown)) -le 3 ] && [ $((shown - real)) -le 3 ]; then
  pass "under a declining window manager: $shown tenths shown for $real tenths of real time"
else
  fail "under a declining window manager: ${shown:-nothing} tenths shown for $real tenths of real time"
fi
kill "$wm"
echo "$failures failed"
[ "$failures" = 0 ]
