#!/usr/bin/env bash
# The program with KDE's colours (run it under with_desktop.sh): a kdeglobals file of the Breeze
# Dark or the Breeze colour scheme, read by Qt's KDE theme, or by KDE's own (plasma-integration)
# where it is installed for this Qt. Started under each, the window is dark or light; where KDE's
# theme is installed, a change of scheme while it runs (kdeglobals rewritten, then the signal
# Plasma sends) turns it light and back to dark. The exit button is on the window's colour every
# time. Seen in screenshots of the X server. Arguments: the command that starts the program.
set -u
[ -n "${DBUS_SESSION_BUS_ADDRESS:-}" ] || exec dbus-run-session -- bash "$0" "$@"
program=("$@")
. "$(dirname "$(readlink -f "$0")")/../x11_helpers.sh"

plasma_theme=$(ls /usr/lib/*/qt6/plugins/platformthemes/KDEPlasmaPlatformTheme6.so 2>/dev/null | head -n1)
export XDG_CURRENT_DESKTOP=KDE KDE_SESSION_VERSION=5
[ -n "$plasma_theme" ] && KDE_SESSION_VERSION=6
mkdir -p "$XDG_CONFIG_HOME"

# The groups of a colour scheme that Qt's palette is made from, as Plasma writes them.
scheme() {
  local name=$1 window=$2 button=$3 view=$4 text=$5
  cat >"$XDG_CONFIG_HOME/kdeglobals" <<KDEGLOBALS
[General]
ColorScheme=$name

[Colors:Window]
BackgroundNormal=$window
ForegroundNormal=$text

[Colors:Button]
BackgroundNormal=$button
ForegroundNormal=$text

[Colors:View]
BackgroundNormal=$view
ForegroundNormal=$text

[Colors:Selection]
BackgroundNormal=61,174,233
ForegroundNormal=255,255,255
KDEGLOBALS
}
breeze_dark() { scheme BreezeDark 32,35,38 41,44,48 20,22,24 252,252,252; }
breeze() { scheme BreezeLight 239,240,241 252,252,252 255,255,255 35,38,41; }
# What Plasma's settings send once they have written the new colours (KGlobalSettings, palette).
tell_plasma() {
  gdbus emit --session --object-path /KGlobalSettings --signal org.kde.KGlobalSettings.notifyChange 0 0
}
shot_looks() { import -silent -window root "$work/screen.png" && client_looks "$1"; }
expect_look() {
  if within 10 shot_looks "$1"; then pass "$2: $1 ($looks_said)"; else fail "$2: not $1 ($looks_said)"; fi
  cp "$work/screen.png" "$work/$3.png" 2>/dev/null
}

theme="Qt's own KDE theme"
[ -n "$plasma_theme" ] && theme="KDE's theme (plasma-integration)"
for start in breeze_dark breeze; do
  "$start"
  launch || { fail "no window appeared"; cat "$work/stderr"; exit 1; }
  case "$start" in
    breeze_dark) expect_look dark "started with Breeze Dark, $theme" dark-start ;;
    breeze) expect_look light "started with Breeze, $theme" light-start ;;
  esac
  [ -n "$plasma_theme" ] || { closes_cleanly; continue; }
  [ "$start" = breeze_dark ] || { closes_cleanly; continue; }
  breeze
  tell_plasma
  expect_look light "switched to Breeze while running" light-live
  breeze_dark
  tell_plasma
  expect_look dark "switched back to Breeze Dark" dark-live
  closes_cleanly
done
[ -n "$plasma_theme" ] ||
  echo "not here: a change while running (KDE's own theme for Qt 6, plasma-integration 6, is not installed)"
echo "$failures failed"
[ "$failures" = 0 ]
