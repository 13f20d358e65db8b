#!/usr/bin/env bash
# The stopwatch stopped, with no input, costs nothing (run it under with_desktop.sh): started,
# run and stopped, once it has gone quiet, its threads are woken not once in 30 s, counted from
# /proc (the voluntary context switches of all its threads). Arguments: the program.
set -u
program=("$@")
. "$(dirname "$(readlink -f "$0")")/../x11_helpers.sh"
wakeups() { cat /proc/"$pid"/task/*/status 2>/dev/null | awk '/^voluntary_ctxt_switches/ { s += $2 } END { print s + 0 }'; }

launch || { fail "no window appeared"; cat "$work/stderr"; exit 1; }
eventually above
# Run and stopped once, as a user leaves it: everything painted since is painted.
xdotool key s
eventually title_at_least 3 || fail "S did not start it"
xdotool key t
within 10 holding || fail "T did not stop it"
# Quiet: two seconds running without a wake-up (or twenty seconds have passed).
quiet=0
last=$(wakeups)
for _ in $(seq 20); do
  sleep 1
  now=$(wakeups)
  if [ "$now" = "$last" ]; then quiet=$((quiet + 1)); else quiet=0; fi
  last=$now
  [ "$quiet" -ge 2 ] && break
done
before=$(wakeups)
sleep 30
after=$(wakeups)
if [ "$after" = "$before" ]; then
  pass "stopped (kernel $(uname -r)): no wake-up in 30 s"
else
  fail "stopped (kernel $(uname -r)): $((after - before)) wake-ups in 30 s"
fi
closes_cleanly
echo "$failures failed"
[ "$failures" = 0 ]
