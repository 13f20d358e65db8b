#!/usr/bin/env bash
# Runs a command as root inside the Debian system unpacked at ROOT, with a clean environment as
# a fresh login has it (no LANG; a runtime folder of the user's own; DISPLAY passed on):
# in-system.sh [OPTIONS] ROOT command...
#   --own-processes   in a process namespace of its own: whatever the command leaves running
#                     ends with it
#   --archives DIR    DIR serves as the system's apt package cache
#   --x-servers       the X servers of this machine can be reached (their socket folder is shared);
#                     otherwise X servers started inside stay private to the system
# The system gets its own /proc and this machine's /dev and /sys, all mounted in a mount namespace
# of the command's own, so nothing stays mounted afterwards. Needs root.
set -euo pipefail
namespaces=(--mount)
archives=
x_servers=
while :; do
  case "${1:-}" in
    --own-processes) namespaces+=(--pid --fork --kill-child); shift ;;
    --archives) archives=$2; shift 2 ;;
    --x-servers) x_servers=1; shift ;;
    *) break ;;
  esac
done
root=$(readlink -f "${1:?usage: in-system.sh [OPTIONS] ROOT command...}")
shift
[ -x "$root/usr/bin/env" ] || { echo "in-system.sh: no system at $root" >&2; exit 2; }
mkdir -p "$root/tmp/.X11-unix" "$root/run/user/0"
chmod 1777 "$root/tmp/.X11-unix"
chmod 700 "$root/run/user/0"
# shellcheck disable=SC2016  # expanded by the inner shell
exec unshare "${namespaces[@]}" -- bash -c '
  set -e
  root=$1 archives=$2 x_servers=$3
  shift 3
  mount --make-rprivate /
  mount --rbind /dev "$root/dev"
  mount -t proc proc "$root/proc"
  mount --rbind /sys "$root/sys"
  [ -n "$x_servers" ] && mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
  [ -n "$archives" ] && mount --bind "$archives" "$root/var/cache/apt/archives"
  exec chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb XDG_RUNTIME_DIR=/run/user/0 \
    ${DISPLAY:+DISPLAY=$DISPLAY} \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "$@"
' in-system "$root" "$archives" "$x_servers" "$@"
