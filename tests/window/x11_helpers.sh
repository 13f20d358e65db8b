# Helpers for tests that drive a stopwatch program from outside on an X server: titles and
# stacking state read with xprop, keys and clicks sent with xdotool. Source it after setting
# program=(command that starts the program); START_TIMEOUT is the seconds to wait for a window.
work=$(mktemp -d)
failures=0
pid=

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  jobs -p | xargs -r kill 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Retries a command for up to five seconds.
eventually() {
  for _ in $(seq 100); do
    "$@" && return 0
    sleep 0.05
  done
  "$@"
}
title() { xprop -id "$window" _NET_WM_NAME 2>/dev/null | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p'; }
title_is() { [ "$(title)" = "$1" ]; }
above() { xprop -id "$window" _NET_WM_STATE 2>/dev/null | grep -q _NET_WM_STATE_ABOVE; }
label_shot() { import -silent -window "$window" -crop 297x57+8+16 +repage "$work/$1.png"; }
same_picture() { [ "$(compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1)" = 0 ]; }
# Clicks at a point of the window's client area.
click() { xdotool mousemove --window "$window" "$1" "$2" click 1; }
# Starts the program and finds its window by the caption it starts with.
launch() {
  "${program[@]}" 2>"$work/stderr" &
  pid=$!
  window=$(timeout "${START_TIMEOUT:-10}" xdotool search --sync --onlyvisible --name '^Tempulix - by ' | head -n1)
  [ -n "$window" ] && xdotool windowactivate --sync "$window" 2>/dev/null
  [ -n "$window" ]
}
# Waits for the program to end and sets status to its exit status ("running" if it did not).
await_end() {
  for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
  done
  if kill -0 "$pid" 2>/dev/null; then status=running; return; fi
  wait "$pid"
  status=$?
  pid=
}
