#!/usr/bin/env bash
# The README's two commands in either order and any number of times: in a copy of the sources,
# the run command's build (scripts/run.sh --build-only), then the test command's configuration
# and its test list (ctest --preset default -N, which must list some), then the
# run command again and the list once more. Argument: the top of the sources.
set -euo pipefail
top=$1
copy=$(mktemp -d)
trap 'rm -rf "$copy"' EXIT
failures=0
(cd "$top" && git ls-files -z --cached --others --exclude-standard | grep -z -v '^build/' |
   xargs -0 -r -I{} sh -c '[ ! -e "{}" ] || printf "%s\0" "{}"' | tar --null -T - -cf -) |
  tar -xf - -C "$copy"
cd "$copy"
listed() {
  local out count
  out=$(ctest --preset default -N 2>&1) || true
  count=$(sed -n 's/^Total Tests: //p' <<<"$out")
  if [ "${count:-0}" -gt 0 ]; then
    echo "ok: $1: $count tests"
  else
    echo "FAIL: $1: $(tail -n 2 <<<"$out" | tr '\n' ' ')"
    failures=$((failures + 1))
  fi
}
bash scripts/run.sh --build-only >"$copy/run.log" 2>&1 || { echo "FAIL: the run command's build"; tail "$copy/run.log"; exit 1; }
[ -x build/run/window/qt/tempulix ] || { echo "FAIL: no program built by the run command"; failures=$((failures + 1)); }
cmake --preset default >/dev/null
listed "the test command's tests after the run command"
bash scripts/run.sh --build-only >"$copy/run.log" 2>&1 || { echo "FAIL: the run command's second build"; exit 1; }
cmake --preset default >/dev/null
listed "the test command's tests after the run command once more"
echo "$failures failed"
[ "$failures" = 0 ]
