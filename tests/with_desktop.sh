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
#   gnome-shell      GNOME's whole shell, headless, with its XWayland, the desktop portal and
#                    the settings daemon, in a mount and network namespace of its own (the shell
#                    makes X sockets and wants a system bus); started with --unsafe-mode, so
#                    that org.gnome.Shell.Eval and the shell's Screenshot call answer the tests
#   late-WM          an X window manager of those above that starts two seconds after the first
#                    window appears (DESKTOP_LATE_WM=1 is set for the command)
#
# The desktop gets a home, runtime folder and D-Bus session of its own, and is ready when its
# window manager has taken a probe window. The command runs with DISPLAY (and for Wayland
# WAYLAND_DISPLAY and XAUTHORITY) set, DESKTOP_NAME naming the desktop and DESKTOP_WM_PID the
# window manager's process; everything is stopped afterwards, whatever the command's outcome.
# XDG_SESSION_TYPE is wayland under the Wayland compositors, x11 elsewhere. DESKTOP_APPLICATIONS
# names desktop files to install for the desktop's user first.
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

# GNOME Shell makes X sockets and, where /run/systemd is there, asks logind for a session: in
# namespaces of its own its X sockets (files and abstract names alike) and that folder are
# private, and nothing else on the machine is disturbed.
if [ "$desktop" = gnome-shell ] && [ -z "${TEMPULIX_DESKTOP_PRIVATE:-}" ]; then
  namespaces=(--mount --net --fork)
  [ "$(id -u)" = 0 ] || namespaces=(--user --map-root-user "${namespaces[@]}")
  # In a chroot "/" is no mount point, and unshare cannot make its mounts private; where none of
  # them is shared with another namespace to begin with, they can stay as they are.
  if ! unshare "${namespaces[@]}" true 2>/dev/null && ! grep -q ' shared:' /proc/self/mountinfo; then
    namespaces+=(--propagation unchanged)
  fi
  exec unshare "${namespaces[@]}" env TEMPULIX_DESKTOP_PRIVATE=1 bash "$0" "$desktop" "$@"
fi

dir=$(mktemp -d)
chmod 700 "$dir"
# Each server runs in a process group of its own, stopped as a whole: dbus-run-session, for one,
# leaves its command running when it is stopped itself.
pids=()
spawn() {
  setsid "$@" &
  pids+=($!)
}
# One that has not ended 20 s after it was told to is killed: now and then fluxbox, told while it
# starts, hangs in its own handler of the signal.
cleanup() {
  local deadline=$((SECONDS + 20))
  for pid in "${pids[@]}"; do kill -- "-$pid" 2>/dev/null; done
  for pid in "${pids[@]}"; do
    while kill -0 "$pid" 2>/dev/null && [ "$SECONDS" -lt "$deadline" ]; do sleep 0.05; done
    kill -KILL -- "-$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  done
  rm -rf "$dir"
}
trap cleanup EXIT
say() { echo "with_desktop ($desktop): $*" >&2; }
# Waits for a server to come up: await_up WHAT PID CONDITION...: true once the condition holds;
# false, saying so, once the process PID (the server, or what runs it) has ended, or after three
# minutes. The bound is there only against a hang: two desktops starting at once on a busy
# 2-core machine can take a minute.
await_up() {
  local what=$1 pid=$2 deadline=$((SECONDS + 180))
  shift 2
  until "$@"; do
    if ! kill -0 "$pid" 2>/dev/null; then
      say "$what ended before it was up"
      return 1
    fi
    if [ "$SECONDS" -ge "$deadline" ]; then
      say "$what was not up after 3 minutes"
      return 1
    fi
    sleep 0.05
  done
}

# A desktop of its own: settings written by the window managers stay in here.
export HOME=$dir/home XDG_RUNTIME_DIR=$dir/runtime XDG_CONFIG_HOME=$dir/home/.config
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset WAYLAND_DISPLAY XAUTHORITY DISPLAY DBUS_SESSION_BUS_ADDRESS
# An X11 session, unless the desktop is a Wayland compositor (below): programs choose their
# global shortcuts by it.
export XDG_SESSION_TYPE=x11
export DESKTOP_NAME=$desktop
# DESKTOP_APPLICATIONS: desktop files (separated by spaces) installed for this desktop's user
# before it starts, as a package installs them: the desktop portal knows a program by its file.
if [ -n "${DESKTOP_APPLICATIONS:-}" ]; then
  mkdir -p "$HOME/.local/share/applications"
  for file in $DESKTOP_APPLICATIONS; do cp "$file" "$HOME/.local/share/applications/"; done
fi
wm=()

start_xvfb() {
  # -noreset: otherwise the server resets whenever its last client leaves (between two short
  # tools, before a late window manager) and closes a connection being made meanwhile.
  spawn Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$dir/display" 2>"$dir/xvfb.log"
  if ! await_up Xvfb "${pids[-1]}" test -s "$dir/display"; then
    say "Xvfb did not start"
    cat "$dir/xvfb.log" >&2
    exit 1
  fi
  export DISPLAY=":$(head -n1 "$dir/display")"
}

# Waits until the compositor's XWayland answers, as the command the compositor starts once it
# is up has found it: the reporter, which writes DISPLAY and XAUTHORITY to $dir/x-display and
# stays (a compositor may end when its command does). Not from which socket appeared: a desktop
# started at the same time makes one too, and compositors start Xwayland when a client comes.
cat >"$dir/reporter" <<REPORTER
#!/bin/sh
printf '%s\n%s\n%s\n' "\$DISPLAY" "\${XAUTHORITY:-}" "\${WAYLAND_DISPLAY:-}" >"$dir/x-display.new"
mv "$dir/x-display.new" "$dir/x-display"
exec sleep 1000000
REPORTER
chmod +x "$dir/reporter"
xwayland_answers() {
  [ -s "$dir/x-display" ] || return 1
  DISPLAY=$(sed -n 1p "$dir/x-display")
  auth=$(sed -n 2p "$dir/x-display")
  export DISPLAY
  if [ -n "$auth" ]; then export XAUTHORITY=$auth; else unset XAUTHORITY; fi
  xprop -root _NET_SUPPORTING_WM_CHECK >/dev/null 2>&1
}
await_xwayland() { await_up "the compositor or its XWayland" "$DESKTOP_WM_PID" xwayland_answers; }

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
    export WAYLAND_DISPLAY=tempulix-test-$$ XDG_SESSION_TYPE=wayland
    if [ "$desktop" = mutter ]; then
      spawn dbus-run-session -- mutter --headless --wayland --virtual-monitor 1024x768 \
        --wayland-display="$WAYLAND_DISPLAY" -- "$dir/reporter" >"$dir/wm.log" 2>&1
    else
      # A plain copy drops the file capability that this container refuses to grant.
      cp /usr/bin/kwin_wayland "$dir/kwin_wayland"
      # KWin 6 asks the user before an X client may send input through its XWayland (the XTest
      # requests of xdotool here), and headless nobody answers: this desktop lets them in.
      mkdir -p "$XDG_CONFIG_HOME"
      printf '[Xwayland]\nXwaylandEisNoPrompt=true\n' >"$XDG_CONFIG_HOME/kwinrc"
      spawn dbus-run-session -- "$dir/kwin_wayland" --virtual --xwayland \
        --socket "$WAYLAND_DISPLAY" --width 1024 --height 768 "$dir/reporter" >"$dir/wm.log" 2>&1
    fi
    export DESKTOP_WM_PID=${pids[-1]}
    if ! await_xwayland; then
      say "no XWayland display appeared"
      cat "$dir/wm.log" >&2
      exit 1
    fi
    ;;
  labwc)
    export XDG_SESSION_TYPE=wayland
    # Kept on top by a window rule (see the README's table): up to labwc 0.9.5 its X window
    # manager has no keep-above, so the rule puts the window on top itself; from 0.9.6 on it
    # honours an X11 window's own request where a rule allows it, which is all that is added.
    mkdir -p "$XDG_CONFIG_HOME/labwc"
    labwc_version=$(labwc --version 2>/dev/null | grep -o -E '[0-9]+\.[0-9]+\.[0-9]+' | head -n1)
    rule='<windowRule identifier="Tempulix"><action name="ToggleAlwaysOnTop"/></windowRule>'
    if printf '0.9.6\n%s\n' "$labwc_version" | sort -C -V; then
      rule='<windowRule identifier="Tempulix" allowAlwaysOnTop="yes"/>'
      export DESKTOP_LABWC_RULE=allowAlwaysOnTop
    fi
    printf '<?xml version="1.0"?>\n<labwc_config>\n  <windowRules>\n    %s\n  </windowRules>\n</labwc_config>\n' \
      "$rule" >"$XDG_CONFIG_HOME/labwc/rc.xml"
    spawn env WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
      labwc -s "$dir/reporter" >"$dir/wm.log" 2>&1
    export DESKTOP_WM_PID=${pids[-1]}
    export DESKTOP_KEPT_ABOVE_UNSEEN_BY_X=1
    await_xwayland && WAYLAND_DISPLAY=$(sed -n 3p "$dir/x-display")
    export WAYLAND_DISPLAY
    if [ -z "$WAYLAND_DISPLAY" ] || [ -z "${DISPLAY:-}" ]; then
      say "labwc or its XWayland did not start"
      cat "$dir/wm.log" >&2
      exit 1
    fi
    ;;
  gnome-shell)
    mount -t tmpfs tmpfs /tmp/.X11-unix && chmod 1777 /tmp/.X11-unix
    [ -d /run/systemd ] && mount -t tmpfs tmpfs /run/systemd
    # A bus of its own in place of the system's, which a container may lack; the session's,
    # which the tests share with the shell (the portal and gsettings answer on it).
    spawn dbus-daemon --config-file=/usr/share/dbus-1/session.conf --nofork \
      --address="unix:path=$XDG_RUNTIME_DIR/system-bus" >"$dir/system-bus.log" 2>&1
    spawn dbus-daemon --session --nofork --address="unix:path=$XDG_RUNTIME_DIR/bus" \
      >"$dir/session-bus.log" 2>&1
    export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$XDG_RUNTIME_DIR/system-bus"
    export DBUS_SESSION_BUS_ADDRESS="unix:path=$XDG_RUNTIME_DIR/bus"
    export XDG_CURRENT_DESKTOP=GNOME XDG_SESSION_TYPE=wayland WAYLAND_DISPLAY=tempulix-test-$$
    await_up "the system bus" "${pids[-2]}" test -S "$XDG_RUNTIME_DIR/system-bus" &&
      await_up "the session bus" "${pids[-1]}" test -S "$XDG_RUNTIME_DIR/bus" ||
      { cat "$dir/system-bus.log" "$dir/session-bus.log" >&2; exit 1; }
    spawn gnome-shell --headless --wayland --unsafe-mode --virtual-monitor 1024x768 \
      --wayland-display="$WAYLAND_DISPLAY" >"$dir/wm.log" 2>&1
    export DESKTOP_WM_PID=${pids[-1]}
    shell_eval() {
      gdbus call --session --dest org.gnome.Shell --object-path /org/gnome/Shell \
        --method org.gnome.Shell.Eval "$1" 2>/dev/null
    }
    # Its XWayland is the only X server in here, on the lowest-numbered socket of the private
    # socket folder (the next is its display for the shell's own services). Which number that is
    # depends on the lock files in the shared /tmp: a display another X server on the machine
    # holds is passed over. It is up once its root window names the window manager.
    shell_x_up() {
      local number
      number=$(ls /tmp/.X11-unix 2>/dev/null | sed -n 's/^X\([0-9][0-9]*\)$/\1/p' | sort -n | head -n1)
      [ -n "$number" ] && [ -S "/tmp/.X11-unix/X$number" ] || return 1
      export DISPLAY=:$number
      XAUTHORITY=$(ls "$XDG_RUNTIME_DIR"/.mutter-Xwaylandauth.* 2>/dev/null | head -n1)
      export XAUTHORITY
      xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
    }
    if ! await_up "GNOME Shell" "$DESKTOP_WM_PID" shell_x_up; then
      say "GNOME Shell or its XWayland did not start"
      cat "$dir/wm.log" >&2
      exit 1
    fi
    # Services started on demand (the portal and its GNOME backend) find the displays.
    dbus-update-activation-environment DISPLAY XAUTHORITY WAYLAND_DISPLAY XDG_CURRENT_DESKTOP \
      XDG_SESSION_TYPE
    # The shell starts in its overview, where windows are drawn scaled down: closed once the
    # start-up animation is over.
    shell_says_false() { case "$(shell_eval "$1")" in *"'false'"*) ;; *) return 1 ;; esac; }
    await_up "GNOME Shell's start-up" "$DESKTOP_WM_PID" \
      shell_says_false 'Main.layoutManager._startingUp || Main.overview.animationInProgress' || true
    await_up "GNOME Shell's overview" "$DESKTOP_WM_PID" \
      shell_says_false 'Main.overview.hide(); Main.overview.visible || Main.overview.animationInProgress' || true
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
  wm_named() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
  for attempt in 1 2 3; do
    spawn "${wm[@]}" >>"$dir/wm.log" 2>&1
    export DESKTOP_WM_PID=${pids[-1]}
    await_up "the window manager" "$DESKTOP_WM_PID" wm_named && break
    say "window manager start $attempt: $(tail -n1 "$dir/wm.log")"
  done
fi

# Window managers name their check window early, then load themes and settings before they
# manage windows; on a loaded machine that takes seconds, or a minute. Ready means a probe window
# was taken; not ready, after three minutes (against a hang) or once the window manager ended.
# (A probe not taken within 30 s is started again: rarely, xmessage hangs before it creates its
# window.)
# The probe is found by its class: mutter 48 draws frames in a client of its own that gives each
# frame the name of the window inside, and a frame has no WM_STATE.
probe_taken() {
  xmessage -name with_desktop_probe probe >>"$dir/probe.log" 2>&1 &
  local probe=$! taken=1 window started=$SECONDS
  while [ "$SECONDS" -lt "$probe_deadline" ]; do
    window=$(xdotool search --classname '^with_desktop_probe$' 2>/dev/null | head -n1)
    if [ -n "$window" ] && xprop -id "$window" WM_STATE 2>/dev/null | grep -q Normal; then taken=0; break; fi
    if [ $((SECONDS - started)) -ge 30 ]; then
      echo "probe $probe not taken after 30 s (window '$window'): $(ps -o stat=,wchan= -p "$probe")" >>"$dir/probe.log"
      break
    fi
    kill -0 "$DESKTOP_WM_PID" 2>/dev/null || { echo "the window manager ended" >>"$dir/probe.log"; break; }
    sleep 0.05
  done
  kill "$probe" 2>/dev/null
  wait "$probe" 2>/dev/null
  return "$taken"
}
if [ "$desktop" != bare ] && [ -z "$late" ]; then
  ready=1
  attempt=0
  probe_deadline=$((SECONDS + 180))
  while [ "$SECONDS" -lt "$probe_deadline" ] && kill -0 "$DESKTOP_WM_PID" 2>/dev/null; do
    attempt=$((attempt + 1))
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
