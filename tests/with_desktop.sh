#!/usr/bin/env bash
# Runs a command on a private desktop: with_desktop.sh DESKTOP [--] command...
#
# DESKTOP is one of
#   bare             Xvfb alone, no window manager
#   openbox          Xvfb with openbox (also: openbox-nofocus, which never focuses new windows)
#   xfwm4, metacity, kwin_x11, icewm, fluxbox (also: fluxbox-nofocus)
#                    Xvfb with that window manager
#   mutter, kwin_wayland
#                    a headless Wayland compositor (GNOME's, KDE's) with its own XWayland
#   labwc            the same with labwc (Raspberry Pi OS's), given the window rule that keeps
#                    the stopwatch on top, since its X window manager has no keep-above
#   late-WM          an X window manager of those above that starts two seconds after the first
#                    window appears (DESKTOP_LATE_WM=1 is set for the command)
#
# The desktop gets a home, runtime folder and D-Bus session of its own, and is ready when its
# window manager has taken a probe window. The command runs with DISPLAY (and for Wayland
# WAYLAND_DISPLAY and XAUTHORITY) set, DESKTOP_NAME naming the desktop and DESKTOP_WM_PID the
# window manager's process; everything is stopped afterwards, whatever the command's outcome.
# Where the X side does not show what the user sees (labwc), DESKTOP_KEPT_ABOVE_UNSEEN_BY_X=1:
# its X window manager shows no keep-above state, stacks X windows regardless of the compositor's
# layers and takes no close request; tests then look at the compositor's own picture (grim) and
# close through its toplevel protocol (wlrctl).
set -u
desktop=${1:?usage: with_desktop.sh DESKTOP [--] command...}
shift
# late-WM: the X window manager WM starts only two seconds after the first window appears, as
# after a ~/.xinitrc that starts the program before the window manager.
late=
case "$desktop" in
  late-*) late=1; desktop=${desktop#late-} ;;
esac
[ "${1:-}" = -- ] && shift

dir=$(mktemp -d)
chmod 700 "$dir"
# Each server runs in a process group of its own, stopped as a whole: dbus-run-session, for one,
# leaves its command running when it is stopped itself.
pids=()
spawn() {
  setsid "$@" &
  pids+=($!)
}
cleanup() {
  for pid in "${pids[@]}"; do kill -- "-$pid" 2>/dev/null; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
  rm -rf "$dir"
}
trap cleanup EXIT
say() { echo "with_desktop ($desktop): $*" >&2; }

# A desktop of its own: settings written by the window managers stay in here.
export HOME=$dir/home XDG_RUNTIME_DIR=$dir/runtime XDG_CONFIG_HOME=$dir/home/.config
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset WAYLAND_DISPLAY XAUTHORITY DISPLAY
export DESKTOP_NAME=$desktop
wm=()

start_xvfb() {
  spawn Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$dir/display" 2>"$dir/xvfb.log"
  for _ in $(seq 100); do
    [ -s "$dir/display" ] && break
    sleep 0.05
  done
  if [ ! -s "$dir/display" ]; then
    say "Xvfb did not start"
    cat "$dir/xvfb.log" >&2
    exit 1
  fi
  export DISPLAY=":$(head -n1 "$dir/display")"
}

# Waits until the compositor's XWayland answers: await_xwayland SESSION, SESSION the process
# session the compositor was started in (spawn makes one). Its display is read from the command
# line of the Xwayland process in that session, or, if given as a second argument, from a file
# the compositor's start-up command wrote it to (labwc starts Xwayland only when a client comes).
# (Not from which socket appeared: a desktop started at the same time makes one too.)
await_xwayland() {
  local session=$1 from_file=${2:-} process number
  for _ in $(seq 300); do
    number=
    if [ -n "$from_file" ]; then
      number=$(sed -n 's/^:\([0-9]*\)$/\1/p' "$from_file" 2>/dev/null)
    else
      for process in $(pgrep -s "$session" -x Xwayland); do
        number=$(tr '\0' '\n' <"/proc/$process/cmdline" 2>/dev/null | sed -n 's/^:\([0-9]*\)$/\1/p' | head -n1)
        [ -n "$number" ] && break
      done
    fi
    if [ -n "$number" ]; then
      export DISPLAY=:$number
      auth=$(ls "$XDG_RUNTIME_DIR"/.mutter-Xwaylandauth.* 2>/dev/null | head -n1)
      [ -n "$auth" ] && export XAUTHORITY=$auth
      xprop -root _NET_SUPPORTING_WM_CHECK >/dev/null 2>&1 && return 0
    fi
    sleep 0.05
  done
  return 1
}

case "$desktop" in
  bare) start_xvfb ;;
  openbox) start_xvfb; wm=(openbox --sm-disable) ;;
  openbox-nofocus)
    start_xvfb
    sed 's|<focusNew>yes</focusNew>|<focusNew>no</focusNew>|' /etc/xdg/openbox/rc.xml >"$dir/rc.xml"
    wm=(openbox --sm-disable --config-file "$dir/rc.xml")
    ;;
  xfwm4) start_xvfb; wm=(dbus-run-session -- xfwm4 --compositor=off --sm-client-disable) ;;
  metacity) start_xvfb; wm=(dbus-run-session -- metacity --replace) ;;
  kwin_x11) start_xvfb; wm=(dbus-run-session -- kwin_x11 --replace) ;;
  icewm) start_xvfb; wm=(icewm) ;;
  fluxbox | fluxbox-nofocus)
    start_xvfb
    mkdir -p "$HOME/.fluxbox"
    [ "$desktop" = fluxbox-nofocus ] && echo "session.screen0.focusNewWindows: false" >"$HOME/.fluxbox/init"
    wm=(fluxbox)
    ;;
  mutter | kwin_wayland)
    export WAYLAND_DISPLAY=tempulix-test-$$
    if [ "$desktop" = mutter ]; then
      spawn dbus-run-session -- mutter --headless --wayland --virtual-monitor 1024x768 \
        --wayland-display="$WAYLAND_DISPLAY" >"$dir/wm.log" 2>&1
    else
      # A plain copy drops the file capability that this container refuses to grant.
      cp /usr/bin/kwin_wayland "$dir/kwin_wayland"
      spawn dbus-run-session -- "$dir/kwin_wayland" --virtual --xwayland \
        --socket "$WAYLAND_DISPLAY" --width 1024 --height 768 >"$dir/wm.log" 2>&1
    fi
    export DESKTOP_WM_PID=${pids[-1]}
    if ! await_xwayland "$DESKTOP_WM_PID"; then
      say "no XWayland display appeared"
      cat "$dir/wm.log" >&2
      exit 1
    fi
    ;;
  labwc)
    mkdir -p "$XDG_CONFIG_HOME/labwc"
    cat >"$XDG_CONFIG_HOME/labwc/rc.xml" <<'RULES'
<?xml version="1.0"?>
<labwc_config>
  <windowRules>
    <windowRule identifier="Tempulix">
      <action name="ToggleAlwaysOnTop"/>
    </windowRule>
  </windowRules>
</labwc_config>
RULES
    # Its start-up command is given the compositor's socket, which it picks itself.
    spawn env WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
      labwc -s "sh -c 'echo \$DISPLAY >$dir/x-display; echo \$WAYLAND_DISPLAY >$dir/wayland'" \
      >"$dir/wm.log" 2>&1
    export DESKTOP_WM_PID=${pids[-1]}
    for _ in $(seq 200); do [ -s "$dir/wayland" ] && break; sleep 0.05; done
    WAYLAND_DISPLAY=$(cat "$dir/wayland" 2>/dev/null)
    export WAYLAND_DISPLAY DESKTOP_KEPT_ABOVE_UNSEEN_BY_X=1
    if [ -z "$WAYLAND_DISPLAY" ] || ! await_xwayland "$DESKTOP_WM_PID" "$dir/x-display"; then
      say "labwc or its XWayland did not start"
      cat "$dir/wm.log" >&2
      exit 1
    fi
    ;;
  *) say "unknown desktop"; exit 2 ;;
esac

# An X window manager is up once it names its check window. One that ended before that is
# started again (twice at most): now and then one cannot open a display that has just come up
# while another starts beside it.
if [ -n "$late" ]; then
  [ ${#wm[@]} -gt 0 ] || { say "no X window manager to start late"; exit 2; }
  export DESKTOP_LATE_WM=1
  spawn bash -c 'until xdotool search --onlyvisible --name . >/dev/null 2>&1; do sleep 0.05; done
                 sleep 2
                 exec "$@" >>"$0" 2>&1' "$dir/wm.log" "${wm[@]}"
  export DESKTOP_WM_PID=${pids[-1]}
  wm=()
fi
if [ ${#wm[@]} -gt 0 ]; then
  for attempt in 1 2 3; do
    spawn "${wm[@]}" >>"$dir/wm.log" 2>&1
    export DESKTOP_WM_PID=${pids[-1]}
    for _ in $(seq 200); do
      xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break 2
      kill -0 "$DESKTOP_WM_PID" 2>/dev/null || break
      sleep 0.05
    done
    say "window manager start $attempt: $(tail -n1 "$dir/wm.log")"
  done
fi

# Window managers name their check window early, then load themes and settings before they
# manage windows; on a loaded machine that takes seconds. Ready means a probe window was taken.
# (A probe that never shows its window at all is started again: rarely, xmessage hangs before
# it creates one.)
# The probe is found by its class: mutter 48 draws frames in a client of its own that gives each
# frame the name of the window inside, and a frame has no WM_STATE.
probe_taken() {
  xmessage -name with_desktop_probe probe >>"$dir/probe.log" 2>&1 &
  local probe=$! taken=1 window try
  for try in $(seq 200); do
    window=$(xdotool search --classname '^with_desktop_probe$' 2>/dev/null | head -n1)
    if [ -n "$window" ] && xprop -id "$window" WM_STATE 2>/dev/null | grep -q Normal; then taken=0; break; fi
    if [ "$try" = 100 ] && [ -z "$window" ]; then
      echo "probe $probe shows no window after 5 s: $(ps -o stat=,wchan= -p "$probe")" >>"$dir/probe.log"
      break
    fi
    sleep 0.05
  done
  kill "$probe" 2>/dev/null
  wait "$probe" 2>/dev/null
  return "$taken"
}
if [ "$desktop" != bare ] && [ -z "$late" ]; then
  ready=1
  for attempt in 1 2 3; do
    probe_taken && { ready=0; break; }
    say "probe $attempt not taken: $(tail -n1 "$dir/probe.log")"
  done
  if [ "$ready" != 0 ]; then
    say "the window manager never managed a window"
    cat "$dir/wm.log" "$dir/probe.log" >&2
    xwininfo -root -tree >&2
    ps -ef | grep -E "xmessage|openbox|Xvfb" >&2
    exit 1
  fi
fi

"$@"
