# Sourced by the tests that run Windows programs (through runnable.sh, which checks that this
# machine can): Debian's Wine for the program's kind, with a prefix of the tests' own (made on
# first use), its server kept up between the programs' starts and stopped at the end, only that
# one. Set prefix=FOLDER before sourcing; TEMPULIX_WINE_ARCH is win32 for the 32-bit program,
# win64 for the 64-bit one.
here_wine=$(dirname "${BASH_SOURCE[0]}")
export WINEPREFIX=$prefix WINEARCH=${TEMPULIX_WINE_ARCH:?set by runnable.sh: win32 or win64} WINEDEBUG=-all
if [ "$WINEARCH" = win32 ]; then
  wine=/usr/lib/wine/wine
  wineserver=/usr/lib/wine/wineserver32
else
  wine=/usr/lib/wine/wine64
  wineserver=/usr/lib/wine/wineserver64
fi
# No Mono or Gecko: the programs need neither, and their installers would ask.
export WINEDLLOVERRIDES="mscoree,mshtml="
trap '"$wineserver" -k 2>/dev/null' EXIT
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  "$wine" wineboot -i >/dev/null 2>&1 || { echo "FAIL: wineboot"; exit 1; }
fi
"$wineserver" -p
# A Unix path as Windows programs under Wine name it.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
# Runs window_client (the .exe in $client) with its report in $work/REPORT: client REPORT COMMAND...
client() {
  local report=$1
  shift
  "$wine" "$client" "$(windows_path "$work/$report")" "$@" 2>/dev/null
}
# For tests that drive the program from outside: the X11 helpers, with the program run by Wine.
drive_under_wine() {
  program=("$wine" "$1")
  START_TIMEOUT=30
  . "$here_wine/../x11_helpers.sh"
  trap '"$wineserver" -k 2>/dev/null; cleanup' EXIT
}
