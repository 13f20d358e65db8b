#!/usr/bin/env bash
# The Linux program under hostile conditions (run under with_desktop.sh openbox): no display, no
# window manager, key mashing while running, closing while a tick is due, the window manager
# killed and restarted. Arguments: the program, with_desktop.sh.
set -u
program=("$1")
with_desktop=$2
. "$(dirname "$(readlink -f "$0")")/../x11_helpers.sh"
title_valid() { title | grep -q -E '^([0-9]+:[0-5][0-9]\.[0-9] - Tempulix|Tempulix - by) tempulix\.example$'; }

# Started in a nested X server without a window manager: on-top fails silently, the stopwatch
# still works.
if [ "${1:-}" = --without-window-manager ]; then
  program=("$2")
  start_recording || exit 1
  if ! launch; then fail "no window without a window manager"; exit 1; fi
  # Its request made (there is nobody to answer it): in the state the window is mapped with, or
  # sent; seen in the record once the program has answered a ping after it (the X server hands
  # the recorder what it records in its own time: a client's answer makes it hand on all before).
  asked() {
    ping_answered >/dev/null &&
      grep -q -E "^$(printf '%#x' "$window") (asks add|_NET_WM_STATE =) .*_NET_WM_STATE_ABOVE" "$work/record"
  }
  if within 20 asked; then pass "no window manager: keep-above asked, no complaint"; else fail "no window manager: keep-above never asked"; fi
  xdotool mousemove --window "$window" 150 40
  xdotool key s
  if eventually title_at_least 3; then pass "no window manager: S starts"; else fail "no window manager: title '$(title)'"; fi
  click 288 104
  await_end
  [ "$status" = 0 ] && pass "no window manager: exit button" || fail "no window manager: status $status"
  [ -s "$work/stderr" ] && fail "printed: $(cat "$work/stderr")"
  exit "$failures"
fi

# DISPLAY naming nothing, or not set, and no Wayland either: a message and a non-zero exit, no
# crash.
for display in ":59999" ""; do
  DISPLAY=$display WAYLAND_DISPLAY= "${program[@]}" >"$work/out" 2>"$work/err"
  status=$?
  if [ "$status" = 1 ] && grep -q "cannot open the display" "$work/err"; then
    pass "DISPLAY='$display': says so and exits 1"
  else
    fail "DISPLAY='$display': status $status, said: $(cat "$work/err")"
  fi
done

if "$with_desktop" bare "$0" --without-window-manager "${program[0]}" "$with_desktop"; then
  pass "works without a window manager"
else
  fail "without a window manager"
fi

# Thirty seconds of key mashing while running.
start_recording || exit 1
if launch; then
  xdotool key s
  # No Tab: it would reach the exit button, where Space rightly ends the program.
  keys=(s t r S T R space Return a q x 1 9 shift+s ctrl+t alt+s alt+t alt+r ctrl+r F1 Escape)
  end=$((SECONDS + 30))
  presses=0
  while [ $SECONDS -lt $end ]; do
    batch=()
    for _ in $(seq 20); do batch+=("${keys[RANDOM % ${#keys[@]}]}"); done
    xdotool key --delay 8 "${batch[@]}"
    presses=$((presses + 20))
    title_valid || { fail "title during mashing: '$(title)'"; break; }
  done
  if kill -0 "$pid" 2>/dev/null; then pass "alive after $presses mashed keys"; else fail "died while mashing"; fi
  # R then S counts from zero again, whatever the mashing left. First T, once the program has
  # caught up with the mashing and the access keys' clicks (which come 100 ms after their keys,
  # as a visible press) have landed, so that every title after the mark is the new run's.
  xdotool key t
  sleep 0.3
  xdotool key t
  within 10 holding || fail "still running after T, after mashing"
  mark=$(mark)
  before=$(title)
  xdotool key r s
  # (The first tick's title is not set again if the title already reads it.)
  wanted="0:00.1 0:00.2 0:00.3 "
  [ "${before%% - *}" = 0:00.1 ] && wanted="0:00.2 0:00.3 "
  counting_from_zero() { [ "$(times_since "$mark" | head -n "$(wc -w <<<"$wanted")" | tr '\n' ' ')" = "$wanted" ]; }
  if eventually counting_from_zero; then pass "R then S starts over after mashing"; else fail "after mashing, titles: $(times_since "$mark" | head -n 5 | tr '\n' ' ')"; fi
  xdotool key alt+F4
  await_end
  [ "$status" = 0 ] && pass "closes after mashing" || fail "after mashing: status $status"
else
  fail "no window for key mashing"
fi

# Closing at moments between and on ticks.
closes=0
for offset in 0.05 0.1 0.13 0.2 0.25 0.3 0.37 0.4 0.5 0.61; do
  launch || { fail "no window at close offset $offset"; continue; }
  xdotool key s
  sleep "$offset"
  xdotool key alt+F4
  await_end
  [ "$status" = 0 ] && closes=$((closes + 1)) || fail "closed at +$offset s: status $status"
done
[ "$closes" = 10 ] && pass "closed while running 10 times, status 0 each"

# The window manager killed while running, then started again.
if [ -n "${DESKTOP_WM_PID:-}" ] && launch; then
  xdotool key s
  eventually running
  kill "$DESKTOP_WM_PID"
  sleep 0.5
  if kill -0 "$pid" 2>/dev/null && advancing; then pass "keeps running without its window manager"; else fail "stalled when the window manager went"; fi
  # The new one takes the window with the state the old one left on it, as a window manager
  # leaves it when it goes.
  openbox --sm-disable >/dev/null 2>&1 &
  new_wm=$!
  if eventually above; then pass "on top again under the new window manager"; else fail "not on top after the restart"; fi
  if advancing; then pass "still running after the restart"; else fail "stalled after the restart"; fi
  xdotool windowactivate --sync "$window" 2>/dev/null
  xdotool key alt+F4
  await_end
  [ "$status" = 0 ] && pass "closes under the new window manager" || fail "after the restart: status $status"
  kill "$new_wm" 2>/dev/null
fi

echo "$failures failed"
[ "$failures" = 0 ]
