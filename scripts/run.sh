#!/usr/bin/env bash
# Installs what the build needs, builds the stopwatch and starts it on this desktop.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-packages.sh \
  cmake ninja-build g++ pkgconf libxcb1-dev qt6-base-dev fonts-liberation fonts-dejavu-core
cmake --preset default -DTEMPULIX_BUILD_TESTS=OFF >/dev/null
cmake --build --preset default --target tempulix
exec ./build/default/window/qt/tempulix
