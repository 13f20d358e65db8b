#!/usr/bin/env bash
# Installs what the build needs, builds the stopwatch and starts it on this desktop.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
bash scripts/install-packages.sh "${build_packages[@]}"
cmake --preset default -DTEMPULIX_BUILD_TESTS=OFF >/dev/null
cmake --build --preset default --target tempulix
exec ./build/default/window/qt/tempulix
