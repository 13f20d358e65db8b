#!/usr/bin/env bash
# The committed pictures and icons are exactly what resources/draw_pictures.py writes, so that a
# drawing changed without running it again (or a file edited by hand) is caught. Argument: the
# resources folder.
set -u
resources=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
/usr/bin/python3 "$resources/draw_pictures.py" --into "$work" >/dev/null || { echo "FAIL: the generator"; exit 1; }
failures=0
count=0
while read -r file; do
  count=$((count + 1))
  if ! cmp -s "$work/$file" "$resources/$file"; then
    echo "FAIL: $file differs from what the generator draws"
    failures=$((failures + 1))
  fi
done < <(cd "$work" && find . -type f | sed 's|^\./||' | sort)
# Every file the build embeds or installs is among them.
for file in start.gif stop.gif reset.gif exit.gif clock.ico icons/tempulix-32.png scaled/start-64.png; do
  [ -f "$work/$file" ] || { echo "FAIL: the generator does not write $file"; failures=$((failures + 1)); }
done
echo "$count files compared, $failures differ"
[ "$failures" = 0 ]
