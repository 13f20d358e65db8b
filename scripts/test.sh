#!/usr/bin/env bash
# Installs what the builds and the tests need, then builds and runs every test: the Linux
# program (plain, then under AddressSanitizer and UndefinedBehaviorSanitizer) and the Windows
# program, 32-bit (the one shipped) and 64-bit, as files and running under Wine where this
# machine can run them (its first lines say which, and why not); then the Debian package, built
# as Debian builds it, checked, and built once more to see that the same sources give the same
# files.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
. scripts/apt.sh
# Which Wine there is to install depends on the release's packages: apt's lists are read first.
apt-cache show bash >/dev/null 2>&1 || apt_update
release_test_packages
# (Where 32-bit Wine cannot be installed, TEMPULIX_NO_32_BIT_WINE tells the tests why.)
windows_runners
echo "$windows_runs"
bash scripts/install-packages.sh "${test_packages[@]}" "${windows_runner_packages[@]}"

for preset in default sanitize win32 win64; do
  echo "== $preset =="
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset"
  # Why any test was skipped, once.
  grep -h '^SKIPPED: ' "build/$preset/Testing/Temporary/LastTest.log" 2>/dev/null | sort -u || true
done

echo "== Debian package =="
changes=$(bash scripts/build-package.sh | tail -n1)
tests/with_desktop.sh openbox tests/package/package_test.sh "$changes" \
  "$(dpkg-parsechangelog -l debian/changelog -S Version)"
bash scripts/check-reproducible.sh "$changes" build/win32/window/win32/Tempulix.exe \
  build/win64/window/win32/Tempulix.exe
