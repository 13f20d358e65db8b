#!/usr/bin/env bash
# What the user sets through the window manager stands (run it under with_desktop.sh with a
# window manager): kept above at start, the user turns keep-above off as the window menu does
# (wmctrl -b remove,above), then minimises and restores the window, switches to another
# workspace and back, and has it withdrawn and mapped again: it stays off, and the program asks
# for it not once, as the record of the X server shows up to an answer to a ping (the program
# has then handled every change of its WM_STATE). Turned on again the same way, it stays on
# through minimising, restoring and workspaces (a window withdrawn loses its state in some window
# managers, whoever set it). Arguments: the program.
set -u
program=("$@")
. "$(dirname "$(readlink -f "$0")")/../x11_helpers.sh"
id() { printf '%#x' "$window"; }
wm_state_is() { xprop -id "$window" WM_STATE 2>/dev/null | grep -q "window state: $1"; }
current_desktop_is() { xprop -root _NET_CURRENT_DESKTOP 2>/dev/null | grep -q " = $1$"; }
# Whether the program asked for keep-above ($1: add or remove) after the mark, up to its answer
# to a ping sent now; fails (and says so) if it does not answer.
program_asked() {
  local line
  line=$(ping_answered) || { fail "$2: the program answers no ping"; return 2; }
  sed -n "$(($1 + 1)),${line}p" "$work/record" | grep -q "^$(id) asks $3 .*_NET_WM_STATE_ABOVE"
}
# Minimise, restore, another workspace and back, and (with --remap) withdrawn and mapped again,
# each waited for until the window manager has carried it out.
everything_but_the_menu() {
  xdotool windowminimize "$window"
  within 30 wm_state_is Iconic || fail "$1: the window manager did not minimise the window"
  wmctrl -i -a "$window"
  within 30 wm_state_is Normal || fail "$1: the window manager did not restore the window"
  wmctrl -s 1
  within 30 current_desktop_is 1 || fail "$1: no switch to workspace 2"
  wmctrl -s 0
  within 30 current_desktop_is 0 || fail "$1: no switch back to workspace 1"
  [ "${2:-}" = --remap ] || return 0
  xdotool windowunmap --sync "$window"
  within 30 eval '! wm_state_is Normal' || fail "$1: the window was not withdrawn"
  xdotool windowmap --sync "$window"
  within 30 wm_state_is Normal || fail "$1: the window was not mapped again"
}

start_recording || exit 1
launch || { fail "no window appeared"; cat "$work/stderr"; exit 1; }
within 30 above || fail "not kept above at start"
# Two workspaces at least (KDE starts with one).
desktops=$(xprop -root _NET_NUMBER_OF_DESKTOPS 2>/dev/null | sed -n 's/.* = //p')
if [ "${desktops:-1}" -lt 2 ]; then
  wmctrl -n 2
  within 30 eval '[ "$(xprop -root _NET_NUMBER_OF_DESKTOPS | sed -n "s/.* = //p")" -ge 2 ]' ||
    fail "the window manager keeps one workspace"
fi

wmctrl -i -r "$window" -b remove,above
within 30 eval '! above' || fail "the window manager did not take keep-above off"
mark=$(mark)
everything_but_the_menu "keep-above off" --remap
program_asked "$mark" "keep-above off" add
case $? in
  0) fail "keep-above off: the program asked for it again: $(record_until_unmap "$mark")" ;;
  1) pass "keep-above off: the program asked for nothing through minimise, restore, workspaces, re-mapping" ;;
esac
if above; then fail "keep-above off: it is on again"; else pass "keep-above off: it stays off"; fi

wmctrl -i -r "$window" -b add,above
within 30 above || fail "the window manager did not put keep-above on"
mark=$(mark)
everything_but_the_menu "keep-above on"
program_asked "$mark" "keep-above on" remove
case $? in
  0) fail "keep-above on: the program asked for it off" ;;
  1) pass "keep-above on: the program asked for nothing" ;;
esac
if within 30 above; then pass "keep-above on: it stays on"; else fail "keep-above on: it went off"; fi

closes_cleanly
[ -s "$work/stderr" ] && fail "the program printed: $(cat "$work/stderr")"
echo "$failures failed"
[ "$failures" = 0 ]
