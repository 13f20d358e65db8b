#!/usr/bin/env bash
# The Debian packages as built (scripts/build-package.sh): Debian's checker, pedantic, on the
# .changes (source and binary alike), the binary package's fields and files, whether this
# machine could install it (asked, not done), and the program started from the unpacked package
# as its desktop entry starts it (run under with_desktop.sh). Never installs into or removes
# from the machine's package database. Arguments: the .changes file, the version (1.2.3.4).
set -u
changes=$(readlink -f "$1")
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

folder=$(dirname "$changes")
arch=$(sed -n 's/^Architecture: *source *//p' "$changes" | tr ' ' '\n' | grep -v '^all$' | head -n1)
deb=$folder/tempulix_${version}_${arch}.deb
[ -f "$deb" ] || { fail "no $(basename "$deb") beside $(basename "$changes")"; echo "$failures failed"; exit 1; }
pass "packages: $(sed -n '/^Files:/,$p' "$changes" | awk 'NF == 5 {print $5}' | tr '\n' ' ')"

# Pedantic, every tag shown; no error and no warning. Overrides are the package's own, each with
# its reason (debian/source/lintian-overrides).
lintian --pedantic --display-info --show-overrides --tag-display-limit 0 "$changes" \
  >"$work/lintian.log" 2>&1
grep -v 'running with root privileges' "$work/lintian.log" | sed 's/^/  lintian: /'
if grep -q -E '^[EW]: ' "$work/lintian.log"; then fail "lintian"; else pass "lintian: no error, no warning"; fi

depends=$(dpkg-deb -f "$deb" Depends)
case "$depends" in
  *libqt6widgets6*fonts-liberation*) pass "depends on its libraries and a font: $depends" ;;
  *) fail "Depends: $depends" ;;
esac
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] && pass "version $version" || fail "version $(dpkg-deb -f "$deb" Version)"
[ "$(dpkg-deb -f "$deb" Architecture)" = "$arch" ] || fail "architecture $(dpkg-deb -f "$deb" Architecture)"
dpkg-deb -x "$deb" "$work/root"
for file in usr/bin/tempulix usr/share/man/man1/tempulix.1.gz usr/share/doc/tempulix/copyright \
            usr/share/doc/tempulix/changelog.gz; do
  [ -f "$work/root/$file" ] || fail "not in the package: $file"
done
echo "  the program: $(readelf -h "$work/root/usr/bin/tempulix" | sed -n 's/^ *Machine: *//p')"
[ "$arch" != "$(dpkg --print-architecture)" ] && { echo "$failures failed"; [ "$failures" = 0 ]; exit; }

# Everything it needs is installable here (asked, not done).
if [ "$(id -u)" = 0 ]; then
  if dpkg --dry-run -i "$deb" >"$work/dpkg.log" 2>&1; then pass "dpkg would install it"; else cat "$work/dpkg.log"; fail "dpkg would not install it"; fi
fi

# Started as a launcher starts it: the Exec line of the packaged desktop entry, on a PATH where
# the packaged program comes first.
desktop_entry=$(ls "$work"/root/usr/share/applications/*.desktop)
exec_line=$(sed -n 's/^Exec=//p' "$desktop_entry")
# shellcheck disable=SC2086  # the Exec line is a command line
PATH="$work/root/usr/bin:$PATH" $exec_line 2>"$work/stderr" &
pid=$!
window=$(timeout 10 xdotool search --sync --onlyvisible --name '^Tempulix - by ' | head -n1)
if [ -n "$window" ] && [ "$(readlink "/proc/$pid/exe")" = "$work/root/usr/bin/tempulix" ]; then
  pass "the desktop entry's '$exec_line' starts the packaged program"
  xprop -id "$window" _NET_WM_ICON | grep -q 'Icon (32 x 32)' && pass "window icon set" || fail "no 32x32 window icon"
  wm_class=$(sed -n 's/^StartupWMClass=//p' "$desktop_entry")
  xprop -id "$window" WM_CLASS | grep -q "\"$wm_class\"$" && pass "WM_CLASS matches StartupWMClass" || fail "WM_CLASS $(xprop -id "$window" WM_CLASS)"
  xdotool windowactivate --sync "$window" 2>/dev/null
  xdotool key s
  runs() { xprop -id "$window" _NET_WM_NAME | grep -q ' - Tempulix '; }
  for _ in $(seq 100); do runs && break; sleep 0.05; done
  runs && pass "it runs" || fail "S did nothing"
else
  fail "the desktop entry's '$exec_line' shows no window of the packaged program: $(cat "$work/stderr")"
fi
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null

echo "$failures failed"
[ "$failures" = 0 ]
