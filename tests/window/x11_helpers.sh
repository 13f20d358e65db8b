# Helpers for tests that drive a stopwatch program from outside on an X server: titles and
# stacking state read with xprop, or every change of them recorded by the X server itself; keys
# and clicks sent with xdotool. Source it after setting program=(command that starts the
# program); START_TIMEOUT is the seconds to wait for a window.
#
# A check never depends on seeing a state that lasts a moment (a title lasts 100 ms): it waits
# for a condition that stays true once reached, or reads the record.
work=$(mktemp -d)
failures=0
pid=
recorder=

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  [ -n "$recorder" ] && kill "$recorder" 2>/dev/null
  jobs -p | xargs -r kill 2>/dev/null
  # (TEMPULIX_KEEP_WORK=FOLDER keeps the shots and records there, to look at.)
  [ -n "${TEMPULIX_KEEP_WORK:-}" ] && cp -r "$work/." "$TEMPULIX_KEEP_WORK/" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Retries a command for up to five seconds.
eventually() {
  for _ in $(seq 100); do
    "$@" && return 0
    sleep 0.05
  done
  "$@"
}
# Retries a command for up to SECONDS seconds: within SECONDS command...
within() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}
title() { xprop -id "$window" _NET_WM_NAME 2>/dev/null | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p'; }
title_is() { [ "$(title)" = "$1" ]; }
# The time a title shows, in tenths ("" for a title without one).
tenths_of() { sed -n 's/^\([0-9]*\):\([0-5][0-9]\)\.\([0-9]\) - Tempulix .*/\1 \2 \3/p' <<<"$1" | awk '{ print ($1 * 60 + $2) * 10 + $3 }'; }
# The title shows a running time, and it moves on.
running() { title | grep -q -E '^[0-9]+:[0-5][0-9]\.[0-9] - Tempulix'; }
# The title shows a running time other than the one given (a title held from an earlier run).
running_since() { running && [ "$(title)" != "$1" ]; }
# The title shows a time of at least this many tenths (true from then on while it runs or holds).
title_at_least() { local t; t=$(tenths_of "$(title)"); [ -n "$t" ] && [ "$t" -ge "$1" ]; }
# The title changes within five seconds.
advancing() {
  local before
  before=$(title)
  eventually eval '[ "$(title)" != "$before" ]'
}
# The program has answered a ping sent now (ping.py), so it has handled every event before it,
# a tick that fell due among them: prints the record's line of the answer (five seconds at most).
ping_answered() {
  local stamp=$((RANDOM * 32768 + RANDOM)) id line
  id=$(printf '%#x' "$window")
  /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/ping.py" "$id" "$stamp" 2>/dev/null || return 1
  for _ in $(seq 100); do
    line=$(grep -n -m1 "^$id pong $stamp$" "$work/record" | cut -d: -f1)
    [ -n "$line" ] && { echo "$line"; return 0; }
    sleep 0.05
  done
  return 1
}
# The stopwatch holds: more than two ticks' time passes, then the program answers a ping, and no
# title was set in between. A stalled program answers no ping and does not hold.
holding() {
  local since line
  [ -n "$recorder" ] || start_recording || return 1
  since=$(mark)
  sleep 0.25
  line=$(ping_answered) || return 1
  ! sed -n "$((since + 1)),${line}p" "$work/record" | grep -q "^$(printf '%#x' "$window") _NET_WM_NAME "
}

# Every change of the window's title and stacking state, as the X server carries it out
# (record_properties.py, through its RECORD extension): start_recording, then mark=$(mark)
# before an action and recorded_since "$mark" PROPERTY for the values set since, oldest first.
start_recording() {
  /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/record_properties.py" _NET_WM_NAME _NET_WM_STATE \
    >"$work/record" 2>"$work/record.err" &
  recorder=$!
  eventually grep -q '^recording$' "$work/record" 2>/dev/null || { fail "no recording: $(cat "$work/record.err")"; return 1; }
}
mark() { wc -l <"$work/record"; }
# Each value as it was set, or "deleted" for a deletion.
recorded_since() {
  tail -n +"$(($1 + 1))" "$work/record" | sed -n "s/^$(printf '%#x' "$window") $2 \(= \|\)//p"
}
# Whether, since the mark, the window's keep-above was asked off before it was unmapped or
# destroyed: the request reached the server first, and so the window manager hears it first.
# (Whether the window manager has set the state by then is its own affair.)
asked_off_before_unmap() {
  local id
  id=$(printf '%#x' "$window")
  tail -n +"$(($1 + 1))" "$work/record" |
    sed -n "/^$id \(unmapped\|destroyed\)$/q;/^$id asks remove .*_NET_WM_STATE_ABOVE/p" | grep -q .
}
# The window's lines in the record since the mark, up to its unmapping, joined (for a message).
record_until_unmap() {
  local id
  id=$(printf '%#x' "$window")
  tail -n +"$(($1 + 1))" "$work/record" | sed -n "/^$id /p;/^$id \(unmapped\|destroyed\)$/q" | tr '\n' '|'
}
# The times shown in the titles set since the mark, one a line.
times_since() { recorded_since "$1" _NET_WM_NAME | sed -n 's/^\([0-9]*:[0-9][0-9]\.[0-9]\) - Tempulix .*/\1/p'; }
# At least N titles with a time have been set since the mark.
times_recorded() { [ "$(times_since "$2" | wc -l)" -ge "$1" ]; }
# Whether a button picture in the screenshot $work/shot.png is the drawing made for the screen's
# scale: picture_drawn_for SETTING PICTURE BOX SIZE FOLDER, BOX in screen pixels (x,y,w,h), SIZE
# the picture's size there (32: the classic GIF itself), FOLDER the drawn pictures. Shot again
# (for five seconds) until it is: a window is drawn in its own time.
picture_drawn_for() {
  local result drawing="$5/scaled/$2-$4.png" try
  [ "$4" = 32 ] && drawing="$5/$2.gif"
  for try in $(seq 25); do
    if [ "$try" -gt 1 ]; then
      sleep 0.2
      import -silent -window "$window" "$work/shot.png"
    fi
    if result=$(/usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/picture_on_screen.py" "$work/shot.png" \
                 "$3" "$drawing" "$5/$2.gif"); then
      pass "$1: the $2 picture drawn at $4 px ($result)"
      return 0
    fi
  done
  fail "$1: the $2 picture is not the $4 px drawing ($result)"
}
# Whether two pictures have no pixel that differs. (ImageMagick 6 prints the count alone,
# ImageMagick 7 the count and its share in brackets.)
identical() { [ "$(compare -metric AE "$1" "$2" null: 2>&1 | awk '{print $1}')" = 0 ]; }
# A screenshot of the window in $work/shot.png, once it has stopped changing (two shots 0.2 s
# apart the same, within five seconds): a window is drawn some time after it is told to change.
# Not for a window whose time runs.
settled_shot() {
  import -silent -window "$window" "$work/shot.png"
  for _ in $(seq 25); do
    sleep 0.2
    import -silent -window "$window" "$work/shot-again.png"
    identical "$work/shot.png" "$work/shot-again.png" && return 0
    mv "$work/shot-again.png" "$work/shot.png"
  done
  return 1
}
# The mean luminance (0 black to 1 white) of a box of a picture: luminance FILE X Y W H.
luminance() { convert "$1" -alpha off -crop "$4x$5+$2+$3" +repage -colorspace Gray -format '%[fx:mean]' info:; }
# How far the luminance of a box of the picture spreads (its standard deviation, 0 to 0.5):
# spread FILE X Y W H.
spread() {
  convert "$1" -alpha off -crop "$4x$5+$2+$3" +repage -colorspace Gray -format '%[fx:standard_deviation]' info:
}
# How the window's client area looks in a screenshot of the whole screen (taken by the caller into
# $work/screen.png): client_looks dark|light [FACE]. Dark: a mean luminance under 0.45; light:
# over 0.7. Either way the exit button's face is drawn on the window's background colour: FACE, a
# box of it beside the picture's rounded corner ("X Y W H" within the button; by default 1 1 3 3),
# within 0.2 of the window's own background beside the label (a face left over from other
# colours is 0.4 or more away). And the window has been drawn: its digits stand out from the
# label's background (a spread over 0.1; a window not painted yet is one flat colour, 0).
# Sets looks_said.
client_looks() {
  local client exit_face background face digits
  read -r -a face <<<"${2:-1 1 3 3}"
  place_of "$window"
  client=$(luminance "$work/screen.png" "$X" "$Y" 318 138)
  exit_face=$(luminance "$work/screen.png" $((X + 272 + face[0])) $((Y + 88 + face[1])) "${face[2]}" "${face[3]}")
  background=$(luminance "$work/screen.png" $((X + 2)) $((Y + 2)) 3 3)
  digits=$(spread "$work/screen.png" $((X + 8)) $((Y + 16)) 297 57)
  looks_said="client area at $X,$Y: $client, exit button face $exit_face, window background $background, digits' spread $digits"
  awk -v c="$client" -v e="$exit_face" -v b="$background" -v s="$digits" -v want="$1" 'BEGIN {
    d = e - b; if (d < 0) d = -d
    exit !(s > 0.1 && d < 0.2 && (want == "dark" ? c < 0.45 : c > 0.7)) }'
}
above() { xprop -id "$window" _NET_WM_STATE 2>/dev/null | grep -q _NET_WM_STATE_ABOVE; }
label_shot() { import -silent -window "$window" -crop 297x57+8+16 +repage "$work/$1.png"; }
# The same once the label has stopped changing on the screen (two shots 0.2 s apart the same,
# within five seconds): after another window goes from over it, it is drawn again in its time.
settled_label_shot() {
  label_shot "$1"
  for _ in $(seq 25); do
    sleep 0.2
    label_shot "$1-again"
    same_picture "$1" "$1-again" && return 0
    mv "$work/$1-again.png" "$work/$1.png"
  done
  return 1
}
same_picture() { identical "$work/$1.png" "$work/$2.png"; }
# The label no longer shows what the shot named was taken of (a new shot is taken to see).
label_changed_from() { label_shot now; ! same_picture "$1" now; }
# Clicks at a point of the window's client area.
click() { xdotool mousemove --window "$window" "$1" "$2" click 1; }
# Gives the window the keyboard focus: asked of the window manager, then a click on the time, as
# a user would do (labwc 0.20 lets no client activate another, and under a compositor the X
# server's focus alone does not bring it the keys).
focus_window() {
  xdotool windowactivate --sync "$window" 2>/dev/null
  click 150 40
}
# Asks the window manager to close the window, as its close button does. (Under a Wayland
# compositor, keys sent into XWayland never reach the compositor's own Alt+F4; labwc is asked
# through its toplevel protocol, for the window with this title.)
close_window() {
  if [ "${DESKTOP_KEPT_ABOVE_UNSEEN_BY_X:-0}" = 1 ]; then
    wlrctl toplevel close "title:$(title)"
  else
    wmctrl -i -c "$window"
  fi
}
# The top-level window (a window manager's frame, or the window itself) that holds a window.
toplevel() {
  local w=$1 tree
  while tree=$(xwininfo -children -id "$w" 2>/dev/null) && ! grep -q 'Parent window id: .*(the root window)' <<<"$tree"; do
    w=$(sed -n 's/^ *Parent window id: \(0x[0-9a-f]*\).*/\1/p' <<<"$tree")
    [ -n "$w" ] || break
  done
  printf '%d\n' "$w"
}
# The top-level window under the pointer once it is moved to a point of the screen.
window_at() {
  xdotool mousemove --sync "$1" "$2" 2>/dev/null
  toplevel "$(xdotool getmouselocation --shell | sed -n 's/^WINDOW=//p')"
}
# The window's top-left corner on the screen, as X and Y.
place_of() {
  X=$(xwininfo -id "$1" | sed -n 's/^ *Absolute upper-left X: *//p')
  Y=$(xwininfo -id "$1" | sed -n 's/^ *Absolute upper-left Y: *//p')
}
# The window the window manager reports active (decimal id).
active_window() { xprop -root _NET_ACTIVE_WINDOW | sed -n 's/.*window id # \(0x[0-9a-f]*\).*/\1/p' | xargs printf '%d\n' 2>/dev/null; }
# Whether the window manager lists a window (decimal id) among the windows it manages; true for
# every window where no window manager keeps that list.
managed() {
  local clients listed
  clients=$(xprop -root _NET_CLIENT_LIST 2>/dev/null) || return 1
  case "$clients" in *"window id #"*) ;; *) return 0 ;; esac
  for listed in $(grep -o '0x[0-9a-f]*' <<<"$clients"); do
    [ "$((listed))" = "$1" ] && return 0
  done
  return 1
}
# The first shown window whose name matches a pattern and that is a managed client, within
# START_TIMEOUT seconds (default 10). Name alone does not tell: mutter 48 gives each window's
# frame the window's name too.
client_named() {
  local deadline=$((SECONDS + ${START_TIMEOUT:-10})) candidate
  while [ "$SECONDS" -le "$deadline" ]; do
    for candidate in $(xdotool search --onlyvisible --name "$1" 2>/dev/null); do
      managed "$candidate" && { echo "$candidate"; return 0; }
    done
    sleep 0.05
  done
  return 1
}
# Starts the program and finds its window by the caption it starts with; activates it unless
# given --no-activate.
launch() {
  "${program[@]}" 2>"$work/stderr" &
  pid=$!
  window=$(client_named '^Tempulix - by ')
  [ -n "$window" ] && [ "${1:-}" != --no-activate ] && xdotool windowactivate --sync "$window" 2>/dev/null
  [ -n "$window" ]
}
# Waits for the program to end and sets status to its exit status ("running" if it did not).
await_end() {
  for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
  done
  if kill -0 "$pid" 2>/dev/null; then status=running; return; fi
  wait "$pid"
  status=$?
  pid=
}
# Closes the window and fails unless the program then ends with status 0; what it wrote to
# stderr is shown when it does not (a sanitizer's report, say).
closes_cleanly() {
  close_window
  await_end
  [ "$status" = 0 ] && return
  fail "${1:-after closing}: $status"
  tail -n 40 "$work/stderr" | sed 's/^/  stderr: /'
}
