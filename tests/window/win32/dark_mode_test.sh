#!/usr/bin/env bash
# The Windows program follows "Choose your default app mode", under Wine (run it under
# with_desktop.sh): the app mode set in the registry as Windows' settings set it
# (AppsUseLightTheme 1, then 0), and the change told as Windows tells it (WM_SETTINGCHANGE
# "ImmersiveColorSet"): the client area is light, then dark, then light again, and dark from the
# start when started so, its exit button on the window's colour each time. Then new system
# colours, as a high-contrast theme brings them: the window, the time and the exit button are
# drawn in them at once. Seen in screenshots of the program's window. Arguments: the program's
# .exe, window_client's .exe, the Wine prefix folder.
set -u
exe=$1
client=$2
prefix=$3
here=$(dirname "$(readlink -f "$0")")
. "$here/wine_env.sh"
drive_under_wine "$exe"

app_mode() {
  "$wine" reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Themes\Personalize' \
    /v AppsUseLightTheme /t REG_DWORD /d "$1" /f >/dev/null 2>&1
}
tell_app_mode() { client settings settings-changed ImmersiveColorSet; }
# (Wine's X window of a managed window is its client area. The picture leaves the exit button's
# face only in its corners, inside the 2-pixel edge.)
shot_looks() { import -silent -window root "$work/screen.png" && client_looks "$1" "2 2 1 1"; }
expect_look() {
  if within 10 shot_looks "$1"; then pass "$2: $1 ($looks_said)"; else fail "$2: not $1 ($looks_said)"; fi
  cp "$work/screen.png" "$work/$3.png" 2>/dev/null
}

app_mode 1
launch || { fail "no window"; cat "$work/stderr"; exit 1; }
expect_look light "app mode light" light-start
app_mode 0
tell_app_mode
expect_look dark "switched to dark while running" dark-live
app_mode 1
tell_app_mode
expect_look light "switched back to light" light-live
close_window
await_end

app_mode 0
launch || { fail "no window on the second start"; exit 1; }
expect_look dark "started in dark app mode" dark-start
close_window
await_end

# High-contrast colours (Wine reports high contrast off whatever its colours, so the light look
# shows them): button face blue with yellow text, the window colour green with red text. The time
# is drawn in the pair of the face it is on. Pure colours, which no picture holds.
app_mode 1
launch || { fail "no window on the third start"; exit 1; }
count_of() {
  convert "$work/window.png" -crop "$2" +repage -fill black +opaque "$1" -fill white -opaque "$1" \
    -format '%[fx:round(mean*w*h)]' info:
}
in_contrast_colours() {
  import -silent -window "$window" "$work/window.png" || return 1
  background=$(count_of '#0000FF' 8x8+0+0)
  digits=$(count_of '#FFFF00' 297x57+8+16)
  exit_face=$(count_of '#00FF00' 33x33+272+88)
  [ "$background" = 64 ] && [ "$digits" -gt 100 ] && [ "$exit_face" -gt 0 ]
}
# COLOR_BTNFACE 15, COLOR_BTNTEXT 18, COLOR_WINDOW 5, COLOR_WINDOWTEXT 8.
client colours colours 15=0000FF 18=FFFF00 5=00FF00 8=FF0000
if within 10 in_contrast_colours; then
  pass "new system colours: the window on button face ($background of 64 pixels), the time in button text ($digits pixels), the exit button on the window colour ($exit_face pixels)"
else
  fail "new system colours: button-face pixels $background of 64, button-text pixels in the time '$digits', window-colour pixels on the exit button '$exit_face' ($(tr '\n' ' ' <"$work/colours"))"
fi
cp "$work/window.png" "$work/contrast.png"
close_window
await_end
echo "$failures failed"
[ "$failures" = 0 ]
