#!/usr/bin/env bash
# Runs the whole-program test on the Windows program under Debian's Wine of its kind (32-bit or
# 64-bit; run it under with_desktop.sh), and checks the program's own SetWindowPos calls from
# Wine's relay trace. The Wine prefix lives in the build folder; only its own wineserver is
# stopped. Arguments: the .exe, the prefix folder.
set -u
exe=$1
prefix=$2
here=$(dirname "$(readlink -f "$0")")
. "$here/wine_env.sh"
trace=$(mktemp)
trap '"$wineserver" -k 2>/dev/null; rm -f "$trace"' EXIT

# Wine's relay trace, for this one function.
"$wine" reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /t REG_SZ /d user32.SetWindowPos /f \
  >/dev/null 2>&1

# Wine mirrors the Windows on-top state into the X window's state on its own time, and destroys
# the X window at once when the program closes it: whether the window manager shows the state
# going off first is a race within Wine. What the program asked for is in the trace instead.
export TRACE=$trace
CLOSE_STATE_UNOBSERVABLE=1 START_TIMEOUT=30 "$here/../program_test.sh" \
  env WINEDEBUG=+relay sh -c 'exec "$0" "$@" 2>>"$TRACE"' "$wine" "$exe"
status=$?

# Two starts: closed through the window manager (on, then off), ended by the exit button (on
# only). Each call: HWND_TOPMOST (-1) or HWND_NOTOPMOST (-2), no move, no size (flags 3),
# and it succeeded.
# Each "Call" line names the caller's return address, and its "Ret" line (later, with other
# lines between) the same one.
# (The 64-bit trace writes each argument as a whole 64-bit slot: a handle in 16 digits, compared
# by its low 32 bits, the same value; the 32-bit arguments passed on the stack (the size and the
# flags) with whatever the slot's upper half held, which the callee never reads. The position
# and size are not compared: SWP_NOMOVE | SWP_NOSIZE tells Windows to ignore them.)
ours=$(sed -n 's/.*Call user32\.SetWindowPos(.*,[0-9a-f]*00000003) ret=\([0-9a-f]*\)$/\1/p' "$trace" | sort -u)
calls=$(sed -n 's/.*Call user32\.SetWindowPos([0-9a-f]*,f*\(fff[ef]\),[0-9a-f]*,[0-9a-f]*,[0-9a-f]*,[0-9a-f]*,[0-9a-f]*00000003).*/ffff\1/p' "$trace" | tr '\n' ' ')
results=$(grep "Ret  user32\.SetWindowPos() retval=[0-9a-f]* ret=${ours:-none}$" "$trace" | sed 's/.*retval=0*\([0-9a-f][0-9a-f]*\) ret=.*/\1/' | tr '\n' ' ')
if [ "$calls" = "ffffffff fffffffe ffffffff " ] && [ "$results" = "1 1 1 " ]; then
  echo "ok: SetWindowPos: topmost at start-up, not topmost on closing, nothing on exit"
else
  echo "FAIL: SetWindowPos calls '$calls', results '$results'"
  status=1
fi
exit "$status"
