#!/usr/bin/env bash
# Builds the files of a release from the committed HEAD, each in a fresh minimal Debian system
# as CI builds them (scripts/test-in-debian.sh --release), and each checked to come out the same
# when built again, and puts them in dist/ with their SHA256SUMS (scripts/release-sums.sh), each
# file with a name of its own:
#   debian12/tempulix_VERSION_debian12_amd64.deb   for Debian 12 (bookworm)
#   debian13/tempulix_VERSION_debian13_amd64.deb   for Debian 13 (trixie), Ubuntu and the like
#   debian13/tempulix_VERSION_debian13_arm64.deb   for Debian 13 on arm64 and Raspberry Pi OS
#   windows/Tempulix.exe                           the 32-bit Windows program (Vista to 11)
#   windows/Tempulix-x64.exe                       the same built for 64-bit Windows
# release.sh [--ignore-uncommitted]: with changes that are not committed it names them and
# stops, since they would not be in the release; --ignore-uncommitted builds HEAD without them.
# Not part of CI. Needs root (or sudo), as the fresh systems do; dist/ belongs to the user who
# ran it.
set -euo pipefail
if [ "$(id -u)" != 0 ]; then exec sudo bash "$(readlink -f "$0")" "$@"; fi
usage="usage: release.sh [--ignore-uncommitted]"
ignore_uncommitted=
while [ $# -gt 0 ]; do
  case "$1" in
    --ignore-uncommitted) ignore_uncommitted=1; shift ;;
    *) echo "release.sh: unknown option '$1'; $usage" >&2; exit 2 ;;
  esac
done
cd "$(dirname "$(readlink -f "$0")")/.."
changes=$(git status --porcelain) || { echo "release.sh: git cannot read this checkout" >&2; exit 1; }
if [ -n "$changes" ]; then
  echo "release.sh: the release is built from the committed HEAD ($(git log -1 --format=%h)), and" \
       "these changes are not committed, so they would not be in it:" >&2
  head -n 20 <<<"$changes" | sed 's/^/  /' >&2
  if [ -z "$ignore_uncommitted" ]; then
    echo "release.sh: commit them, or run release.sh --ignore-uncommitted to build HEAD without them" >&2
    exit 1
  fi
  echo "release.sh: going on without them (--ignore-uncommitted)" >&2
fi
# Through sudo, dist/ and all in it go to the user who ran sudo, however the release ends.
owner=${SUDO_UID:-$(id -u)}:${SUDO_GID:-$(id -g)}
started=$SECONDS
rm -rf dist
mkdir -p dist
trap 'chown -R "$owner" dist' EXIT
bash scripts/test-in-debian.sh bookworm --release dist/debian12
bash scripts/test-in-debian.sh trixie --release dist/debian13 --windows
bash scripts/test-in-debian.sh trixie --release dist/debian13 --cross arm64
# Each file a name of its own, so that they can all be downloaded into one folder.
for release in debian12 debian13; do
  for deb in dist/"$release"/tempulix_*.deb; do
    mv "$deb" "${deb%_*.deb}_${release}_${deb##*_}"
  done
done
mkdir -p dist/windows
mv dist/debian13/windows/Tempulix.exe dist/windows/Tempulix.exe
mv dist/debian13/windows/x64/Tempulix.exe dist/windows/Tempulix-x64.exe
rm -r dist/debian13/windows
bash scripts/release-sums.sh dist
cat dist/SHA256SUMS
echo "== release files in dist/, in $((SECONDS - started)) s =="
