#!/usr/bin/env bash
# Installs what the builds and the tests need, then builds and runs every test: the Linux
# program (plain, then under AddressSanitizer and UndefinedBehaviorSanitizer), the 32-bit
# Windows program (checked as a file) and the 64-bit one (run under wine64).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-packages.sh \
  cmake ninja-build g++ pkgconf libxcb1-dev qt6-base-dev fonts-liberation fonts-dejavu-core \
  libgtest-dev libgmock-dev xvfb xauth openbox x11-utils xdotool imagemagick \
  dpkg-dev desktop-file-utils appstream valgrind \
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine64 icoutils python3-pefile

for preset in default sanitize win32 win64; do
  echo "== $preset =="
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done
