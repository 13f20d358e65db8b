#!/usr/bin/env bash
# Builds the files of a release in this system, checks that a second build gives the same bytes
# (scripts/check-reproducible.sh) and copies them to a folder: release-files.sh OUT [--arch ARCH]
# [--windows]. The Debian package of this system's release (cross-built for ARCH if given); with
# --windows also the 32-bit Tempulix.exe (the one shipped) and the 64-bit one, as windows/ and
# windows/x64/. Run by scripts/release.sh in fresh systems; needs what each build needs installed.
set -euo pipefail
out=$(mkdir -p "${1:?usage: release-files.sh OUT [--arch ARCH] [--windows]}" && cd "$1" && pwd)
shift
arch=()
windows=
while [ $# -gt 0 ]; do
  case "$1" in
    --arch) arch=(--arch "$2"); shift 2 ;;
    --windows) windows=1; shift ;;
    *) echo "release-files.sh: unknown option $1" >&2; exit 2 ;;
  esac
done
cd "$(dirname "$0")/.."
changes=$(bash scripts/build-package.sh "${arch[@]}" | tail -n1)
exes=()
if [ -n "$windows" ]; then
  for preset in win32 win64; do
    cmake --preset "$preset" -DTEMPULIX_BUILD_TESTS=OFF >/dev/null
    cmake --build --preset "$preset" --target Tempulix >/dev/null
    exes+=("build/$preset/window/win32/Tempulix.exe")
  done
fi
bash scripts/check-reproducible.sh "${arch[@]}" "$changes" "${exes[@]}"
cp "$(dirname "$changes")"/tempulix_*.deb "$out/"  # not the debugging symbols
if [ -n "$windows" ]; then
  mkdir -p "$out/windows/x64"
  cp build/win32/window/win32/Tempulix.exe "$out/windows/"
  cp build/win64/window/win32/Tempulix.exe "$out/windows/x64/"
fi
