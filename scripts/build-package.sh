#!/usr/bin/env bash
# Builds the Debian source and binary packages the way Debian builds them (dpkg-buildpackage,
# debhelper), from a copy of this checkout's files (committed and new, not ignored ones), and
# checks them with Debian's checker: build-package.sh [--out DIR] [--arch ARCH] [-- OPTIONS].
#   --out DIR    where the copy is built and the packages are left (default build/debian)
#   --arch ARCH  cross-build for another Debian architecture (arm64), with its Qt from multiarch
#   OPTIONS      further options for dpkg-buildpackage
# Prints the path of the .changes file last. Needs the build packages (scripts/packages.sh).
# The sources are the release's own: on a release without labwc (Debian 12) the copy leaves out
# the labwc autopkgtest, which could not install there, as a package for an older release does.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=$top/build/debian
arch=
while [ $# -gt 0 ]; do
  case "$1" in
    --out) out=$(mkdir -p "$2" && cd "$2" && pwd); shift 2 ;;
    --arch) arch=$2; shift 2 ;;
    --) shift; break ;;
    *) echo "usage: build-package.sh [--out DIR] [--arch ARCH] [-- OPTIONS]" >&2; exit 2 ;;
  esac
done
version=$(dpkg-parsechangelog -l "$top/debian/changelog" -S Version)
source_dir=$out/tempulix-$version
rm -rf "$out"
mkdir -p "$source_dir"
# The files of the checkout, nothing built or ignored.
if git -C "$top" rev-parse --git-dir >/dev/null 2>&1; then
  (cd "$top" && git ls-files -z --cached --others --exclude-standard | grep -z -v '^build/' |
     xargs -0 -r -I{} sh -c '[ ! -e "{}" ] || printf "%s\0" "{}"' |
     tar --null -T - -cf -) | tar -xf - -C "$source_dir"
else
  (cd "$top" && tar --exclude=./build -cf - .) | tar -xf - -C "$source_dir"
fi
. "$top/scripts/packages.sh"
if ! release_has labwc; then
  awk -v RS= '!/^Tests: installed-program-labwc\n/ { printf "%s%s\n", gap, $0; gap = "\n" }' \
    "$top/debian/tests/control" >"$source_dir/debian/tests/control"
  rm "$source_dir/debian/tests/installed-program-labwc"
  echo "build-package.sh: this release has no labwc: its package has no labwc autopkgtest" >&2
fi
options=(-us -uc)
[ -n "$arch" ] && options+=(-a "$arch" -Pcross,nocheck)
(cd "$source_dir" && dpkg-buildpackage "${options[@]}" "$@") >"$out/build.log" 2>&1 ||
  { tail -n 60 "$out/build.log" >&2; echo "dpkg-buildpackage failed: $out/build.log" >&2; exit 1; }
changes=$(ls "$out"/tempulix_"$version"_*.changes)
echo "$changes"
