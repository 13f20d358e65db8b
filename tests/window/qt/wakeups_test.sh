#!/usr/bin/env bash
# The stopwatch stopped, with no input, costs nothing (run it under with_desktop.sh): started,
# run and stopped, once it has gone quiet, its threads are woken not once in 30 s, counted from
# /proc (the voluntary context switches of all its threads). Then Qt's own message that ends its X
# event reader still ends the program, with status 2. Both where the kernel tells of a thread's
# end (a pidfd of the thread, Linux 6.9 on: one is open) and where it does not (run with
# --old-kernel OLD_KERNEL, the command that refuses such a pidfd as older kernels do: none is
# open). Arguments: [--old-kernel OLD_KERNEL] the program.
set -u
old_kernel=()
[ "${1:-}" = --old-kernel ] && { old_kernel=("$2"); shift 2; }
program=("${old_kernel[@]}" "$@")
here=$(dirname "$(readlink -f "$0")")
. "$here/../x11_helpers.sh"
wakeups() { cat /proc/"$pid"/task/*/status 2>/dev/null | awk '/^voluntary_ctxt_switches/ { s += $2 } END { print s + 0 }'; }

launch || { fail "no window appeared"; cat "$work/stderr"; exit 1; }
eventually above
# How the end of the reader is heard: the program's pidfds (the thread's, where there is one).
kernel=$(uname -r)
pidfds=$(ls -l /proc/"$pid"/fd 2>/dev/null | grep -c 'anon_inode:\[pidfd\]')
if [ ${#old_kernel[@]} -gt 0 ]; then
  path="as on a kernel before 6.9 (kernel $kernel, a thread's pidfd refused)"
  [ "$pidfds" = 0 ] && pass "$path: no pidfd open" || fail "$path: $pidfds pidfds open"
else
  path="kernel $kernel"
  printf '6.9\n%s\n' "${kernel%%-*}" | sort -C -V && { [ "$pidfds" = 1 ] || fail "$path: $pidfds pidfds open, not the reader's one"; }
fi
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
  pass "stopped ($path): no wake-up in 30 s"
else
  fail "stopped ($path): $((after - before)) wake-ups in 30 s"
fi

# The end of Qt's event reader is still noticed; how long it took is printed, not judged (the
# bound is against a hang).
sent=$(date +%s%N)
/usr/bin/python3 "$here/../send_client_messages.py" "$(printf '%#x' "$window")" close-connection >/dev/null
for _ in $(seq 600); do kill -0 "$pid" 2>/dev/null || break; sleep 0.01; done
ended=$(date +%s%N)
await_end
if [ "$status" = 2 ]; then
  pass "the event reader's end noticed ($path), status 2, $(((ended - sent) / 1000000)) ms after the message"
else
  fail "after the event reader ended ($path): status $status"
fi
echo "$failures failed"
[ "$failures" = 0 ]
