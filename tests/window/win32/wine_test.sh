#!/usr/bin/env bash
# Runs the whole-program test on the 64-bit Windows build under wine64 (32-bit Wine cannot run
# on this kernel; the code is the same). The Wine prefix lives in the build folder, and only its
# own wineserver is stopped. Arguments: the .exe, the prefix folder.
set -u
exe=$1
export WINEPREFIX=$2
export WINEDEBUG=-all
# No Mono or Gecko: the program needs neither, and their installers would ask.
export WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver64
here=$(dirname "$(readlink -f "$0")")

trap '"$wineserver" -k 2>/dev/null' EXIT
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  "$wine" wineboot -i >/dev/null 2>&1 || { echo "FAIL: wineboot"; exit 1; }
fi
"$wineserver" -p  # keep the server up between the program's starts
START_TIMEOUT=30 "$here/../program_test.sh" "$wine" "$exe"
