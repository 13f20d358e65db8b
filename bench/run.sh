#!/usr/bin/env bash
# Measures the Linux program from outside and writes bench/RESULTS.md: tick accuracy against
# the monotonic clock (and against a timer re-armed from dispatch), CPU and wake-ups while
# running and stopped, memory, and time to a mapped window, beside xclock and a minimal Qt label;
# then the cost of one tick (Google Benchmark). Usage: bash bench/run.sh [--long] (10 minutes),
# or bash bench/run.sh --windows: the 32-bit Windows program under Wine, 60 s, written to
# bench/RESULTS-windows.md.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${BENCH_SECONDS:-60}
[ "${1:-}" = --long ] && seconds=600
. scripts/packages.sh
bash scripts/install-packages.sh "${build_packages[@]}" libxcb-xtest0-dev libgtest-dev \
  libbenchmark-dev xvfb xauth openbox x11-utils x11-apps xdotool procps
cmake --preset default >/dev/null
cmake --build --preset default --target tempulix minimal_label title_watch tick_bench
if [ "${1:-}" = --windows ]; then
  bash scripts/install-packages.sh g++-mingw-w64-i686 wine32:i386
  cmake --preset win32 >/dev/null
  cmake --build --preset win32
  exec tests/with_desktop.sh openbox bash bench/measure_windows.sh "$seconds"
fi
exec tests/with_desktop.sh openbox bash bench/measure.sh "$seconds"
