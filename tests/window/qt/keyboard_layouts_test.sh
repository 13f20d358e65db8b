#!/usr/bin/env bash
# S, T and R on the X server's own keyboard layouts (run under with_desktop.sh with a window
# manager: a server with no client left resets its keymap to US, so the window manager's
# connection keeps the layout set here). For each layout, the keys that are S, T and R on its
# Latin layout (or on the US layout where it has none) start, stop and reset; on Latin layouts
# the letters count wherever the layout puts them. Argument: the program.
set -u
program=("$1")
. "$(dirname "$(readlink -f "$0")")/../x11_helpers.sh"

# Layout (as setxkbmap takes it), then the key names xdotool presses for start, stop, reset,
# and for a key that must do nothing.
rows=(
  "ru|Cyrillic_yeru Cyrillic_ie Cyrillic_ka|Cyrillic_a"        # no Latin layout: US positions
  "ru,us|Cyrillic_yeru Cyrillic_ie Cyrillic_ka|Cyrillic_a"     # its US layout names the keys
  "gr|Greek_sigma Greek_tau Greek_rho|Greek_alpha"
  "ua|Ukrainian_i Cyrillic_ie Cyrillic_ka|Cyrillic_ef"
  "de|s t r|z"                                                 # QWERTZ
  "fr|s t r|q"                                                 # AZERTY
  "us -variant dvorak|s t r|o"                                 # o sits where QWERTY has S
)

for row in "${rows[@]}"; do
  IFS='|' read -r layout keys idle <<<"$row"
  read -r start stop reset <<<"$keys"
  # shellcheck disable=SC2086  # the layout may carry a variant
  setxkbmap -layout $layout
  if ! setxkbmap -query | grep -q "^layout: *${layout%% *}$"; then
    fail "$layout: the server did not take the layout"
    continue
  fi
  if ! launch; then
    fail "$layout: no window"
    continue
  fi
  xdotool key "$idle"
  # Answered a ping after the key, with no title set since: the key was handled, and did nothing.
  if holding && title_is "Tempulix - by tempulix.example"; then pass "$layout: $idle does nothing"; else fail "$layout: $idle changed the title to '$(title)'"; fi
  xdotool key "$start"
  if eventually running && advancing; then pass "$layout: $start starts"; else fail "$layout: $start did not start"; fi
  xdotool key "$stop"
  if within 10 holding; then pass "$layout: $stop stops"; else fail "$layout: $stop did not stop"; fi
  label_shot stopped
  xdotool key "$reset"
  if eventually label_changed_from stopped; then pass "$layout: $reset resets"; else fail "$layout: $reset did not reset"; fi
  # Shift is not looked at: the upper-case letter starts as well.
  # (R kept the title of the last run: what counts is a title that moves on from it.)
  held=$(title)
  xdotool key "shift+$start"
  if eventually running_since "$held" && advancing; then pass "$layout: shift+$start starts"; else fail "$layout: shift+$start did not start"; fi
  close_window
  await_end
  [ "$status" = 0 ] || fail "$layout: closing gave $status"
done

setxkbmap -layout us
echo "$failures failed"
[ "$failures" = 0 ]
