#!/usr/bin/env bash
# The platform the program takes on a Wayland desktop (run under with_desktop.sh mutter): its
# XWayland when there is one, native Wayland with one line said when there is not, and always
# the platform a user names. Checked by the Qt plugin the running process has loaded and by
# what it prints. Argument: the program.
set -u
program=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# Each row: what it shows, the environment changes, the plugin expected, what it must print.
rows=(
  "XWayland when DISPLAY answers|-|libqxcb|"
  "native Wayland without DISPLAY|-u DISPLAY|libqwayland|tempulix: no X display; running on Wayland, where the window cannot be kept above other windows."
  "native Wayland when DISPLAY names nothing|DISPLAY=:59999|libqwayland|tempulix: no X display; running on Wayland, where the window cannot be kept above other windows."
  "the user's choice: wayland|QT_QPA_PLATFORM=wayland|libqwayland|"
  "the user's choice: offscreen|QT_QPA_PLATFORM=offscreen|libqoffscreen|"
)
# On every platform, a Wayland session without a D-Bus session (these test compositors share
# none with the program) has no global shortcuts, and the program says so.
no_shortcuts="tempulix: no global shortcuts: there is no D-Bus session bus to reach the desktop's portal."
for row in "${rows[@]}"; do
  IFS='|' read -r what change plugin said <<<"$row"
  said=${said:+$said$'\n'}$no_shortcuts
  args=()
  # shellcheck disable=SC2206  # one or two words
  [ "$change" != - ] && args=($change)
  env "${args[@]}" "$program" 2>"$work/err" &
  pid=$!
  loaded=
  for _ in $(seq 100); do
    loaded=$(grep -o "platforms/$plugin" "/proc/$pid/maps" 2>/dev/null | head -n1)
    [ -n "$loaded" ] && break
    sleep 0.05
  done
  sleep 0.5  # past start-up, where warnings would come
  alive=$(kill -0 "$pid" 2>/dev/null && echo yes)
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  if [ -n "$loaded" ] && [ "$alive" = yes ] && [ "$(cat "$work/err")" = "$said" ]; then
    echo "ok: $what"
  else
    echo "FAIL: $what: plugin '${loaded:-none}', running '${alive:-no}', printed '$(cat "$work/err")'"
    failures=$((failures + 1))
  fi
done
echo "$failures failed"
[ "$failures" = 0 ]
