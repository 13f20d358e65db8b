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
drive_under_wine "$exe"

"$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 192 /f >/dev/null 2>&1
# Wine 10 takes a new resolution from its next session on, as Windows does after signing in
# again (Wine 8 took it at once): the prefix's server and programs are ended and started anew.
"$wineserver" -k 2>/dev/null
"$wineserver" -w
"$wineserver" -p
launch || { fail "no window"; exit 1; }
xdotool key Tab Tab  # the focus mark off the buttons compared
settled_shot
# The buttons' boxes at scale 2, in pixels.
picture_drawn_for "192 dpi" start 16,160,146,98 64 "$pictures"
picture_drawn_for "192 dpi" exit 544,176,66,66 64 "$pictures"
close_window
await_end
echo "$failures failed"
[ "$failures" = 0 ]
