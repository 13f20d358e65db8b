#!/usr/bin/env bash
# The stopwatch stopped, with no input, costs nothing (run it under with_desktop.sh): started,
# run and stopped, once it has gone quiet, its threads are woken not once in 30 s, counted from /proc (the
# voluntary context switches of all its threads). Then Qt's own message that ends its X event
# reader still ends the program within seconds, as an event rather than something looked for
# (where the kernel gives such an event: Linux 6.9 and later). Arguments: the program.
set -u
program=("$@")
here=$(dirname "$(readlink -f "$0")")
. "$here/../x11_helpers.sh"
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
# Before Linux 6.9 the kernel tells nothing of a thread's end, and the program looks for it
# twice a second: 60 wake-ups in 30 s, and nothing else.
kernel=$(uname -r)
allowed=0
printf '6.9\n%s\n' "${kernel%%-*}" | sort -C -V || allowed=62
if [ $((after - before)) -le "$allowed" ]; then
  pass "stopped: $((after - before)) wake-ups in 30 s (kernel $kernel: $allowed allowed)"
else
  fail "stopped: $((after - before)) wake-ups in 30 s (kernel $kernel: $allowed allowed)"
fi

# The end of Qt's event reader is still noticed.
/usr/bin/python3 "$here/../send_client_messages.py" "$(printf '%#x' "$window")" close-connection >/dev/null
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
await_end
if [ "$status" = 2 ]; then
  pass "the event reader's end noticed within 5 s (kernel $kernel), status 2"
else
  fail "after the event reader ended: status $status (kernel $kernel)"
fi
echo "$failures failed"
[ "$failures" = 0 ]
