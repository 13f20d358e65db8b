#!/usr/bin/env bash
# Installs what the build and the tests need, then builds and runs every test: the default
# build, then the same under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-packages.sh \
  cmake ninja-build g++ pkgconf libxcb1-dev qt6-base-dev fonts-liberation fonts-dejavu-core \
  libgtest-dev libgmock-dev xvfb xauth openbox x11-utils xdotool imagemagick \
  dpkg-dev desktop-file-utils appstream

for preset in default sanitize; do
  echo "== $preset =="
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done
