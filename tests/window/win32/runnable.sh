#!/usr/bin/env bash
# Runs a test of a running Windows program only where this machine can run that kind of program:
# runnable.sh WINEARCH command... (WINEARCH win32 or win64). The 32-bit program runs only under
# Debian's 32-bit Wine, itself a 32-bit Linux program, so only where the kernel runs 32-bit
# programs; either needs its Wine installed. Otherwise it says why in one line and ends with
# status 77, which ctest reports as skipped; the command (with its desktop) is not started.
# TEMPULIX_NO_32_BIT_WINE, set by the test command where 32-bit Wine could not be installed
# (scripts/packages.sh: windows_runners), is the reason given for a missing 32-bit Wine.
set -u
arch=${1:?usage: runnable.sh win32|win64 command...}
shift
here=$(dirname "$(readlink -f "$0")")
if [ ! -x /usr/lib/wine/wine ] && [ ! -x /usr/lib/wine/wine64 ]; then
  echo "SKIPPED: no Wine is installed: this Debian release has no Wine package (Debian testing" \
       "has none today), or the test command did not install it"
  exit 77
fi
case "$arch" in
  win32)
    if ! kernel=$("$here/../../../scripts/kernel-runs-32-bit.sh"); then
      echo "SKIPPED: this kernel $kernel, so the 32-bit program cannot run under 32-bit Wine;" \
           "the 64-bit program runs in its place (the win64 tests)"
      exit 77
    fi
    wine=/usr/lib/wine/wine
    ;;
  win64) wine=/usr/lib/wine/wine64 ;;
  *) echo "FAIL: unknown Wine architecture '$arch'"; exit 1 ;;
esac
if [ ! -x "$wine" ] && [ "$arch" = win32 ] && [ -n "${TEMPULIX_NO_32_BIT_WINE:-}" ]; then
  echo "SKIPPED: $TEMPULIX_NO_32_BIT_WINE, so the 32-bit program cannot run under 32-bit Wine;" \
       "the 64-bit program runs in its place (the win64 tests)"
  exit 77
fi
if [ ! -x "$wine" ]; then
  echo "SKIPPED: no $arch Wine is installed ($wine)"
  exit 77
fi
export TEMPULIX_WINE_ARCH=$arch
exec "$@"
