#!/usr/bin/env bash
# Tells whether this machine's kernel runs 32-bit x86 programs itself (IA-32 emulation), as
# Debian's 32-bit Wine needs: exit status 0 if it does, 1 if not, with one line on standard
# output saying which. Some kernels are built without it, or have it off (ia32_emulation=0 since
# Linux 6.7); a program run only through a user-mode emulator registered with binfmt_misc
# (qemu-i386) does not count, since Wine cannot run there.
#
# Found out by running the smallest 32-bit program there is (it only exits), written here, as
# no 32-bit program may be installed yet.
#
# TEMPULIX_KERNEL_32_BIT=yes or =no makes this answer so whatever the kernel: the test scripts
# then act as on the other kind of kernel (for trying the scripts, not for building).
set -u
case "${TEMPULIX_KERNEL_32_BIT:-}" in
  yes) echo "runs 32-bit programs (TEMPULIX_KERNEL_32_BIT=yes)"; exit 0 ;;
  no) echo "runs no 32-bit programs (TEMPULIX_KERNEL_32_BIT=no)"; exit 1 ;;
  "") ;;
  *) echo "TEMPULIX_KERNEL_32_BIT is yes, no or unset, not '$TEMPULIX_KERNEL_32_BIT'" >&2; exit 2 ;;
esac
if [ "$(uname -m)" != x86_64 ] && [ "$(uname -m)" != i686 ]; then
  echo "runs no 32-bit x86 programs (a $(uname -m) kernel)"
  exit 1
fi
for emulator in /proc/sys/fs/binfmt_misc/qemu-i386 /proc/sys/fs/binfmt_misc/qemu-i486; do
  if [ -f "$emulator" ] && head -n1 "$emulator" | grep -qx enabled; then
    echo "runs 32-bit programs only through an emulator ($emulator)"
    exit 1
  fi
done
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
# An ELF32 i386 executable: its header, one loadable segment, and exit(0) through int 0x80.
printf '\177ELF\1\1\1\0\0\0\0\0\0\0\0\0\2\0\3\0\1\0\0\0\124\200\4\10\64\0\0\0\0\0\0\0\0\0\0\0\64\0\40\0\1\0\0\0\0\0\0\0\1\0\0\0\0\0\0\0\0\200\4\10\0\200\4\10\133\0\0\0\133\0\0\0\5\0\0\0\0\20\0\0\61\333\61\300\100\315\200' >"$dir/exit0"
chmod +x "$dir/exit0"
cp /bin/true "$dir/true"
if ! "$dir/true" 2>/dev/null; then
  echo "cannot tell: programs cannot be run from $dir" >&2
  exit 2
fi
if "$dir/exit0" 2>/dev/null; then
  echo "runs 32-bit programs"
  exit 0
fi
echo "runs no 32-bit programs (a 32-bit program gets: $("$dir/exit0" 2>&1 | sed 's/.*: //'))"
exit 1
