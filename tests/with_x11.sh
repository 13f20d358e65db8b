#!/usr/bin/env bash
# Runs a command on a private X server: with_x11.sh [--wm] [--] command...
# Starts Xvfb on a free display (and openbox with --wm, waiting until it manages the screen),
# exports DISPLAY (and WITH_X11_WM_PID), runs the command and stops both, whatever the
# command's outcome.
set -u
wm=0
while [ $# -gt 0 ]; do
  case "$1" in
    --wm) wm=1; shift ;;
    --) shift; break ;;
    *) break ;;
  esac
done

dir=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
  rm -rf "$dir"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$dir/display" 2>"$dir/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do
  [ -s "$dir/display" ] && break
  sleep 0.05
done
if [ ! -s "$dir/display" ]; then
  echo "with_x11: Xvfb did not start" >&2
  cat "$dir/xvfb.log" >&2
  exit 1
fi
export DISPLAY=":$(head -n1 "$dir/display")"

if [ "$wm" = 1 ]; then
  openbox --sm-disable >"$dir/openbox.log" 2>&1 &
  pids+=($!)
  export WITH_X11_WM_PID=$!  # for tests that stop the window manager
  # Openbox names its check window on the root early, then loads its theme and menus before it
  # manages windows; on a loaded machine that takes seconds. Ready means a probe window was taken.
  xmessage -name with_x11_probe probe >/dev/null 2>&1 &
  probe=$!
  for _ in $(seq 600); do
    xprop -name with_x11_probe WM_STATE 2>/dev/null | grep -q Normal && break
    sleep 0.05
  done
  kill "$probe" 2>/dev/null
  wait "$probe" 2>/dev/null
fi

"$@"
