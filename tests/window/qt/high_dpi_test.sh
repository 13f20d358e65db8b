#!/usr/bin/env bash
# The button pictures on a high-DPI screen (run under with_desktop.sh): at each scale the program
# shows the picture drawn for it, not the 32 px one enlarged. The scale comes as a desktop sets
# it (Xft.dpi) or as a user forces it (QT_SCALE_FACTOR). Arguments: the program, the folder of
# the drawn pictures.
set -u
program_path=$1
pictures=$2
here=$(dirname "$(readlink -f "$0")")
. "$here/../x11_helpers.sh"

# Scale, how it is set, and the pictures' size there.
rows=(
  "2|QT_SCALE_FACTOR=2|64"
  "2|Xft.dpi: 192|64"
  "1.5|Xft.dpi: 144|48"
)
for row in "${rows[@]}"; do
  IFS='|' read -r scale setting size <<<"$row"
  environment=()
  case "$setting" in
    Xft.dpi*) echo "$setting" | xrdb -merge ;;
    *) environment=("$setting") ;;
  esac
  program=(env "${environment[@]}" "$program_path")
  if ! launch; then fail "$setting: no window"; continue; fi
  xdotool key Tab Tab  # the focus mark off the buttons compared
  settled_shot
  # Each button's box in pixels: the designed box times the scale.
  for button in "start|8,80,73,49" "exit|272,88,33,33"; do
    IFS='|' read -r picture box <<<"$button"
    scaled_box=$(awk -v s="$scale" -F, '{ printf "%d,%d,%d,%d", $1 * s, $2 * s, $3 * s, $4 * s }' <<<"$box")
    picture_drawn_for "$setting" "$picture" "$scaled_box" "$size" "$pictures"
  done
  close_window
  await_end
  xrdb -remove 2>/dev/null
done
echo "$failures failed"
[ "$failures" = 0 ]
