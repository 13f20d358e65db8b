#!/usr/bin/env bash
# release_has (scripts/packages.sh) against an apt-cache that answers as Debian's does, in a
# caller's `set -o pipefail`: a package with a long record (more than a pipe holds, so a reader
# that stops early kills the writer), a name only others refer to, and no such name.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
fake=$(mktemp -d)
trap 'rm -rf "$fake"' EXIT
cat >"$fake/apt-cache" <<'FAKE'
#!/bin/sh
# apt-cache show --no-all-versions NAME
case "$3" in
  long) echo "Package: long"; yes "Description: a line of a long package record" | head -n 20000 ;;
  virtual) echo "N: Can't select versions from package 'virtual' as it is purely virtual" >&2 ;;
  *) echo "E: No packages found" >&2; exit 100 ;;
esac
FAKE
chmod +x "$fake/apt-cache"
PATH=$fake:$PATH
. "$top/scripts/packages.sh"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
while read -r name expected why; do
  if release_has "$name"; then got=yes; else got=no; fi
  if [ "$got" = "$expected" ]; then
    echo "ok: release_has $name: $got"
  else
    fail "release_has $name: $got, expected $expected ($why)"
  fi
done <<'ROWS'
long    yes a record longer than a pipe holds is still a package
virtual no  a name that is only provided is no package of the release
absent  no  apt knows no such name
ROWS
echo "$failures failed"
[ "$failures" = 0 ]
