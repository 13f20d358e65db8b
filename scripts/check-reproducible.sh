#!/usr/bin/env bash
# Checks that the same sources give the same files, as a user checking a download would: builds
# the Debian package and the Windows program once more, in another folder and later, and
# compares them byte for byte with those given (a .changes file, a Tempulix.exe). Where they
# differ, diffoscope (Debian's diffoscope-minimal) names the parts that do.
# check-reproducible.sh [--arch ARCH] CHANGES_FILE [EXE...]: each EXE was built by the preset of
# its build folder (build/PRESET/...); --arch: the package was cross-built for ARCH.
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
arch=()
if [ "${1:-}" = --arch ]; then
  arch=(--arch "$2")
  shift 2
fi
changes=$(readlink -f "${1:?usage: check-reproducible.sh [--arch ARCH] CHANGES_FILE [EXE...]}")
shift
other=$(mktemp -d /var/tmp/tempulix-again.XXXXXX)
trap 'rm -rf "$other"' EXIT
failures=0
compare() {
  if cmp -s "$1" "$2"; then
    echo "ok: built again, the same: $(basename "$1") ($(sha256sum <"$1" | cut -c1-16))"
  else
    echo "FAIL: built again, $(basename "$1") differs:"
    if command -v diffoscope >/dev/null; then
      diffoscope --text - --max-report-size 20000 "$1" "$2" | head -n 80
    else
      cmp "$1" "$2" | head -n 5
    fi
    failures=$((failures + 1))
  fi
}

# The package, without its tests this time (they build nothing that is installed).
# (A cross build is built without them already.)
profile=(-- -Pnocheck)
[ ${#arch[@]} -gt 0 ] && profile=()
again=$(bash "$top/scripts/build-package.sh" --out "$other/package" "${arch[@]}" "${profile[@]}") || exit 1
for deb in "$(dirname "$changes")"/*.deb; do
  compare "$deb" "$(dirname "$again")/$(basename "$deb")"
done

# Each Windows program, configured and built anew in a folder of another name.
for exe in "$@"; do
  exe=$(readlink -f "$exe")
  preset=$(basename "${exe%/window/win32/*}")
  build=$other/build-$preset
  (cd "$top" && cmake --preset "$preset" -B "$build" -DTEMPULIX_BUILD_TESTS=OFF >/dev/null &&
     cmake --build "$build" --target Tempulix >/dev/null) || { echo "FAIL: $preset did not build"; failures=$((failures + 1)); continue; }
  compare "$exe" "$build/window/win32/Tempulix.exe"
done
echo "$failures failed"
[ "$failures" = 0 ]
