#!/usr/bin/env bash
# Runs accessibility_test.py against the real program, in a D-Bus session of its own with the
# accessibility bus on, as a desktop with a screen reader has it (run under with_desktop.sh).
# Argument: the program.
set -u
if [ "${1:-}" != --in-session ]; then
  exec dbus-run-session -- "$0" --in-session "$@"
fi
program=$2
here=$(dirname "$(readlink -f "$0")")
work=$(mktemp -d)
. "$here/accessibility_bus.sh"
trap 'kill "$bus" ${pid:-} 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
"$program" 2>"$work/stderr" &
pid=$!
/usr/bin/python3 "$here/accessibility_test.py"
status=$?
if [ -s "$work/stderr" ]; then
  echo "FAIL: the program printed: $(cat "$work/stderr")"
  status=1
fi
exit "$status"
