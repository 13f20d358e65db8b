#!/usr/bin/env bash
# Builds the files of a release, each in a fresh minimal Debian system as CI builds them
# (scripts/test-in-debian.sh --release), and each checked to come out the same when built again,
# and puts them in dist/ with their SHA256SUMS:
#   debian12/tempulix_VERSION_amd64.deb   for Debian 12 (bookworm)
#   debian13/tempulix_VERSION_amd64.deb   for Debian 13 (trixie), Ubuntu and the like
#   debian13/tempulix_VERSION_arm64.deb   for Debian 13 on arm64 and Raspberry Pi OS
#   windows/Tempulix.exe                  the 32-bit Windows program (Vista to 11)
#   windows/x64/Tempulix.exe              the same built for 64-bit Windows
# Not part of CI. Needs root (or sudo), as the fresh systems do.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "$(id -u)" != 0 ]; then exec sudo bash "$0" "$@"; fi
started=$SECONDS
rm -rf dist
mkdir -p dist
bash scripts/test-in-debian.sh bookworm --release dist/debian12
bash scripts/test-in-debian.sh trixie --release dist/debian13 --windows
mv dist/debian13/windows dist/windows
bash scripts/test-in-debian.sh trixie --release dist/debian13 --cross arm64
(cd dist && find . -type f ! -name SHA256SUMS | sed 's|^\./||' | sort | xargs sha256sum >SHA256SUMS)
cat dist/SHA256SUMS
echo "== release files in dist/, in $((SECONDS - started)) s =="
