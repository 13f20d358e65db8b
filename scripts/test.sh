#!/usr/bin/env bash
# Installs what the builds and the tests need, then builds and runs every test: the Linux
# program (plain, then under AddressSanitizer and UndefinedBehaviorSanitizer) and the 32-bit
# Windows program (as a file, and running under 32-bit Wine).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
bash scripts/install-packages.sh "${test_packages[@]}"

for preset in default sanitize win32; do
  echo "== $preset =="
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done
