#!/usr/bin/env bash
# The README's check of a download, run as the README gives it, against the SHA256SUMS that
# scripts/release-sums.sh writes for the release's files as the README names them (here with
# contents of the test's own): with the folders kept, with every file in one folder, and with
# one file alone beside SHA256SUMS, each passes and names every file there OK; a file changed
# fails either way; two files of one name are refused. Argument: the top of the sources.
set -euo pipefail
top=$1
t=$(mktemp -d)
trap 'rm -rf "$t"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

# The README's files (the paths in backquotes in its table of a release's files) and its check.
section=$(sed -n '/^## Install and start/,/^## /p' "$top/README.md")
files=$(grep '^|' <<<"$section" | grep -o '`[^`]*`' | tr -d '`' | grep -E '\.(deb|exe)$')
check=$(grep -m1 '^sha256sum ' <<<"$section")
[ "$(wc -l <<<"$files")" -ge 5 ] && [ -n "$check" ] ||
  { echo "FAIL: the README names no release files or no check: files '$files', check '$check'"; exit 1; }
mkdir "$t/dist"
while read -r file; do
  mkdir -p "$t/dist/$(dirname "$file")"
  echo "the contents of $file" >"$t/dist/$file"
done <<<"$files"
bash "$top/scripts/release-sums.sh" "$t/dist"

# checks WHERE N: the README's check in that folder passes, with N lines saying OK.
checks() {
  local out status=0
  out=$(cd "$1" && bash -c "$check" 2>&1) || status=$?
  [ "$status" = 0 ] && [ "$(grep -c ': OK$' <<<"$out")" = "$2" ] && [ "$(wc -l <<<"$out")" = "$2" ] && return 0
  echo "status $status: $(tr '\n' '|' <<<"$out")"
  return 1
}
# fails WHERE FILE: the check in that folder fails, naming the file as FAILED.
fails() {
  local out
  if out=$(cd "$1" && bash -c "$check" 2>&1); then echo "passed: $(tr '\n' '|' <<<"$out")"; return 1; fi
  grep -q -x -F "$2: FAILED" <<<"$out" || { echo "$(tr '\n' '|' <<<"$out")"; return 1; }
}
count=$(wc -l <<<"$files")
cp -r "$t/dist" "$t/kept"
if why=$(checks "$t/kept" "$count"); then pass "folders kept: $count files OK"; else fail "folders kept: $why"; fi
mkdir "$t/one"
find "$t/dist" -type f -exec cp {} "$t/one/" \;
if why=$(checks "$t/one" "$count"); then pass "all in one folder: $count files OK"; else fail "all in one folder: $why"; fi
mkdir "$t/alone"
deb=$(grep -m1 '\.deb$' <<<"$files")
cp "$t/dist/$deb" "$t/dist/SHA256SUMS" "$t/alone/"
if why=$(checks "$t/alone" 1); then pass "one package alone beside SHA256SUMS: OK"; else fail "one package alone: $why"; fi

echo "changed" >>"$t/kept/$deb"
echo "changed" >>"$t/one/$(basename "$deb")"
if why=$(fails "$t/kept" "$deb"); then pass "a changed file fails, folders kept"; else fail "a changed file, folders kept: $why"; fi
if why=$(fails "$t/one" "$(basename "$deb")"); then pass "a changed file fails, all in one folder"; else fail "a changed file, one folder: $why"; fi

mkdir -p "$t/same/a" "$t/same/b"
echo 1 >"$t/same/a/Tempulix.exe"
echo 2 >"$t/same/b/Tempulix.exe"
if ! out=$(bash "$top/scripts/release-sums.sh" "$t/same" 2>&1) && grep -q 'a/Tempulix.exe b/Tempulix.exe' <<<"$out" &&
   [ ! -e "$t/same/SHA256SUMS" ]; then
  pass "two files of one name refused: $out"
else
  fail "two files of one name: $out"
fi

echo "$failures failed"
[ "$failures" = 0 ]
