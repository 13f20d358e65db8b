#!/usr/bin/env bash
# tests/with_desktop.sh's waits for its servers end as soon as a server has died, saying which,
# rather than at their bound (minutes): an X server or a window manager that ends at once (here
# one that exits with status 1 as it starts, first on PATH) fails the desktop, and the command is
# not run; with the real ones the command runs. Argument: the top of the sources.
set -euo pipefail
top=$1
t=$(mktemp -d)
trap 'rm -rf "$t"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
for server in Xvfb openbox; do
  mkdir "$t/dying-$server"
  printf '#!/bin/sh\necho "%s: cannot start" >&2\nexit 1\n' "$server" >"$t/dying-$server/$server"
  chmod +x "$t/dying-$server/$server"
done
# Each row: the server that dies, the desktop, what with_desktop.sh says.
while IFS='|' read -r server desktop words; do
  status=0
  said=$(PATH=$t/dying-$server:$PATH "$top/tests/with_desktop.sh" "$desktop" touch "$t/ran" 2>&1) || status=$?
  if [ "$status" != 0 ] && [ ! -e "$t/ran" ] && grep -q -F -- "$words" <<<"$said"; then
    pass "$server dying under $desktop: $words"
  else
    fail "$server dying under $desktop: status $status, ran: $([ -e "$t/ran" ] && echo yes || echo no): $(tr '\n' '|' <<<"$said")"
  fi
  rm -f "$t/ran"
done <<'ROWS'
Xvfb|bare|with_desktop (bare): Xvfb ended before it was up
openbox|openbox|with_desktop (openbox): the window manager ended before it was up
openbox|openbox|with_desktop (openbox): the window manager never managed a window
ROWS
if "$top/tests/with_desktop.sh" openbox touch "$t/ran" && [ -e "$t/ran" ]; then
  pass "the real openbox: the command ran"
else
  fail "the real openbox: the command did not run"
fi
echo "$failures failed"
[ "$failures" = 0 ]
