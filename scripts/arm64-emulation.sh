#!/usr/bin/env bash
# Lets this x86-64 machine run arm64 programs, so that scripts/test-in-debian.sh --arch arm64 can
# make and use an arm64 Debian system: installs qemu-user-static and registers its arm64
# emulator with the kernel's binfmt_misc. THIS CHANGES THE WHOLE MACHINE: from then on every
# arm64 program on it runs through the emulator, until `arm64-emulation.sh --off` (or a reboot).
# Nothing else needs it; the test command never does it. Needs root (or sudo).
set -euo pipefail
# As a user with sudo it runs itself again as root, with the same arguments.
if [ "$(id -u)" != 0 ]; then exec sudo bash "$(readlink -f "$0")" "$@"; fi
case "$*" in
  "" | --off) ;;
  *) echo "arm64-emulation.sh: unknown arguments '$*'; usage: arm64-emulation.sh [--off]" >&2; exit 2 ;;
esac
entry=/proc/sys/fs/binfmt_misc/qemu-aarch64
if [ "${1:-}" = --off ]; then
  [ -e "$entry" ] && echo -1 >"$entry"
  echo "arm64 emulation: off"
  exit
fi
echo "arm64-emulation.sh: registering qemu-aarch64 with binfmt_misc, for the whole machine" \
     "(undo with: arm64-emulation.sh --off)"
bash "$(dirname "$(readlink -f "$0")")/install-packages.sh" qemu-user-static
[ -e /proc/sys/fs/binfmt_misc/register ] || mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
[ -e "$entry" ] || cat /usr/lib/binfmt.d/qemu-aarch64.conf >/proc/sys/fs/binfmt_misc/register
head -n1 "$entry"
