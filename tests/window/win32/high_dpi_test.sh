#!/usr/bin/env bash
# The Windows program's pictures on a screen of 192 dots per inch (scale 2), under 32-bit Wine
# (run under with_desktop.sh): the pictures drawn at 64 px, not the 32 px ones enlarged.
# Arguments: the .exe, a Wine prefix folder of its own (its screen is set to 192 dpi), the folder
# of the drawn pictures.
set -u
exe=$1
prefix=$2
pictures=$3
here=$(dirname "$(readlink -f "$0")")
. "$here/wine_env.sh"
program=("$wine" "$exe")
START_TIMEOUT=30
. "$here/../x11_helpers.sh"
trap '"$wineserver" -k 2>/dev/null; cleanup' EXIT

"$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 192 /f >/dev/null 2>&1
launch || { fail "no window"; exit 1; }
xdotool key Tab Tab  # the focus mark off the buttons compared
sleep 0.5
import -silent -window "$window" "$work/shot.png"
# The buttons' boxes at scale 2, in pixels.
for button in "start|16,160,146,98" "exit|544,176,66,66"; do
  IFS='|' read -r picture box <<<"$button"
  if result=$(/usr/bin/python3 "$here/../picture_on_screen.py" "$work/shot.png" "$box" \
               "$pictures/scaled/$picture-64.png" "$pictures/$picture.gif"); then
    pass "192 dpi: the $picture picture drawn at 64 px ($result)"
  else
    fail "192 dpi: the $picture picture is not the 64 px drawing ($result)"
  fi
done
close_window
await_end
echo "$failures failed"
[ "$failures" = 0 ]
