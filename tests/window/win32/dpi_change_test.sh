#!/usr/bin/env bash
# The Windows program told, as Windows 10 and 11 tell a program aware of each monitor's
# resolution, that its monitor's resolution changed (WM_DPICHANGED), under 32-bit Wine (run
# under with_desktop.sh): at 120, 144 and 192 dpi and back at 96, the window takes the suggested
# rectangle, each control its place at that resolution, the pictures the drawing made for it and
# the time its size of font. Then the system's window colour changes, and the exit button's
# background follows it. Arguments: the program's .exe, window_client's .exe, the Wine prefix
# folder, the folder of the drawn pictures.
set -u
exe=$1
client=$2
prefix=$3
pictures=$4
here=$(dirname "$(readlink -f "$0")")
. "$here/wine_env.sh"
drive_under_wine "$exe"

# A box of the layout (in 96-dpi pixels: left top width height) at a resolution, as x,y,w,h.
box_at() { echo "$(($1 * $5 / 96)),$(($2 * $5 / 96)),$(($3 * $5 / 96)),$(($4 * $5 / 96))"; }
shot() { settled_shot; }
# The height in pixels of the time's digits as drawn in the label at a resolution.
ink_height() {
  /usr/bin/python3 "$here/ink_height.py" "$work/shot.png" "$(box_at 8 16 297 57 "$1")"
}

launch || { fail "no window"; exit 1; }
xdotool key Tab Tab  # the focus mark off the buttons compared
shot
height_96=$(ink_height 96)
from=96
for to in 120 144 192 96; do
  client "dpi-$to" dpi "$from" "$to"
  echo "$from -> $to dpi:"
  sed 's/^/  /' "$work/dpi-$to"
  if grep -q '^ok$' "$work/dpi-$to"; then
    pass "$to dpi: the window takes the suggested rectangle and each control its place"
  else
    fail "$to dpi: $(grep '^FAIL' "$work/dpi-$to" | tr '\n' ' ')"
  fi
  shot
  size=$((32 * to / 96))
  picture_drawn_for "$to dpi" start "$(box_at 8 80 73 49 "$to")" "$size" "$pictures"
  picture_drawn_for "$to dpi" exit "$(box_at 272 88 33 33 "$to")" "$size" "$pictures"
  # The time's font follows: its digits as tall as at 96 dpi, scaled (within 4 %: glyphs are
  # fitted to whole pixels at each size).
  height=$(ink_height "$to")
  wanted=$((height_96 * to / 96))
  if [ -n "$height" ] && [ $((100 * height)) -ge $((96 * wanted)) ] &&
     [ $((100 * height)) -le $((104 * wanted)) ]; then
    pass "$to dpi: the time's digits $height px tall ($height_96 at 96 dpi)"
  else
    fail "$to dpi: the time's digits are '$height' px tall, $wanted wanted ($height_96 at 96 dpi)"
  fi
  from=$to
done

# A new window colour (a high-contrast theme, say): the exit button is drawn on it, and on the
# old one again when it goes back. Pure blue is in none of its pictures.
exit_box=$(box_at 272 88 33 33 96)
blue_pixels() {
  import -silent -window "$window" "$work/shot.png"
  convert "$work/shot.png" -crop "$(tr ',' ' ' <<<"$exit_box" | awk '{print $3 "x" $4 "+" $1 "+" $2}')" \
    +repage -fill black +opaque '#0000FF' -fill white -opaque '#0000FF' -format '%[fx:round(mean*w*h)]' info:
}
before=$(blue_pixels)
client colour-set window-colour 0000FF
was=$(sed -n 's/^was [0-9]*=//p' "$work/colour-set")
# Drawn in its own time: looked at until it shows (or five seconds have passed).
blue_shown() { after=$(blue_pixels); [ "${after:-0}" -gt 0 ]; }
eventually blue_shown
client colour-back window-colour "${was:-FFFFFF}"
blue_gone() { back=$(blue_pixels); [ "$back" = 0 ]; }
eventually blue_gone
if [ "$before" = 0 ] && [ "${after:-0}" -gt 0 ] && [ "$back" = 0 ]; then
  pass "the exit button follows the window colour: $after blue pixels on blue, none on #$was"
else
  fail "exit button on a new window colour: blue pixels $before before, '$after' on blue, $back after (was #$was; $(tr '\n' ' ' <"$work/colour-set"))"
fi

close_window
await_end
echo "$failures failed"
[ "$failures" = 0 ]
