#!/usr/bin/env bash
# Installs what the build needs, builds the stopwatch and starts it on this desktop:
# bash scripts/run.sh [--build-only]. It builds in a folder of its own (build/run, the "run"
# preset), so that it changes nothing the test command builds, in either order. It needs nothing
# of another architecture: only the package lists of this machine's own are brought up to date
# (an i386 added for Wine, its lists broken or not, plays no part).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
bash scripts/install-packages.sh "${build_packages[@]}"
cmake --preset run >/dev/null
cmake --build --preset run
[ "${1:-}" = --build-only ] && exit 0
exec ./build/run/window/qt/tempulix
