# Sourced by the tests that run Windows programs: Debian's 32-bit Wine with a 32-bit prefix of
# the tests' own (made on first use), its server kept up between the programs' starts and
# stopped at the end, only that one. Set prefix=FOLDER before sourcing.
export WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=-all
# No Mono or Gecko: the programs need neither, and their installers would ask.
export WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine
wineserver=/usr/lib/wine/wineserver32
trap '"$wineserver" -k 2>/dev/null' EXIT
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  "$wine" wineboot -i >/dev/null 2>&1 || { echo "FAIL: wineboot"; exit 1; }
fi
"$wineserver" -p
# A Unix path as Windows programs under Wine name it.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
# For tests that drive the program from outside: the X11 helpers, with the program run by Wine.
drive_under_wine() {
  program=("$wine" "$1")
  START_TIMEOUT=30
  . "$(dirname "${BASH_SOURCE[0]}")/../x11_helpers.sh"
  trap '"$wineserver" -k 2>/dev/null; cleanup' EXIT
}
