#!/usr/bin/env bash
# The program among hostile X clients (run under with_desktop.sh with a window manager): for each
# seed, 1,200 client messages of random kinds sent to its window (drag and drop naming the window
# as its own source among them), after which S, T, the buttons and the window manager's close
# all still work, it ends with status 0 and prints nothing. Then the message Qt sends itself to
# end its event reader: the program ends within seconds, with status 2, one line said, and the
# on-top state off. Arguments: the program, the seeds.
set -u
program=("$1")
shift
seeds=("$@")
here=$(dirname "$(readlink -f "$0")")
. "$here/../x11_helpers.sh"
start_recording || exit 1
send() { /usr/bin/python3 "$here/../send_client_messages.py" "$(printf '%#x' "$window")" "$@"; }

for seed in "${seeds[@]}"; do
  launch || { fail "seed $seed: no window"; continue; }
  eventually above
  sent=$(send "$seed" 1200) || fail "seed $seed: could not send: $sent"
  echo "seed $seed: $sent"
  if ! kill -0 "$pid" 2>/dev/null; then fail "seed $seed: the program ended"; pid=; continue; fi
  xdotool windowactivate --sync "$window" 2>/dev/null
  mark=$(mark)
  xdotool key s
  if eventually times_recorded 3 "$mark"; then pass "seed $seed: S starts"; else fail "seed $seed: S does nothing"; fi
  xdotool key t
  if within 10 holding; then pass "seed $seed: T stops"; else fail "seed $seed: T does not stop"; fi
  mark=$(mark)
  click 44 104
  if eventually times_recorded 2 "$mark"; then pass "seed $seed: the Start button"; else fail "seed $seed: the Start button does nothing"; fi
  click 132 104
  if within 10 holding; then pass "seed $seed: the Stop button"; else fail "seed $seed: the Stop button does nothing"; fi
  close_window
  await_end
  if [ "$status" = 0 ]; then pass "seed $seed: closed by the window manager, status 0"; else fail "seed $seed: after closing: $status"; fi
  [ "$status" = running ] && { kill "$pid"; wait "$pid"; pid=; }
  if [ -s "$work/stderr" ]; then fail "seed $seed: the program printed $(wc -l <"$work/stderr") lines: $(head -n 3 "$work/stderr")"; else pass "seed $seed: nothing printed"; fi
done

# Qt's own close-connection message ends the event reader before the program can see it; no
# input reaches the program afterwards, so it ends itself, the on-top state off.
if launch; then
  eventually above
  xdotool key s
  eventually running
  mark=$(mark)
  send close-connection >/dev/null || fail "close-connection: could not send it"
  for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
  await_end
  if [ "$status" = 2 ]; then pass "close-connection: the program ends within 5 s, status 2"; else fail "close-connection: status $status"; fi
  [ "$status" = running ] && { kill "$pid"; wait "$pid"; pid=; }
  if [ "$(wc -l <"$work/stderr")" = 1 ] && grep -q '^tempulix: .*_QT_CLOSE_CONNECTION' "$work/stderr"; then
    pass "close-connection: one line said: $(cat "$work/stderr")"
  else
    fail "close-connection: said: $(cat "$work/stderr")"
  fi
  if asked_off_before_unmap "$mark"; then
    pass "close-connection: on top asked off before the window went"
  else
    fail "close-connection: the window's record before the end: $(record_until_unmap "$mark")"
  fi
else
  fail "no window for the close-connection message"
fi

echo "$failures failed"
[ "$failures" = 0 ]
