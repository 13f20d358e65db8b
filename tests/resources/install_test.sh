#!/usr/bin/env bash
# Installs the build into a prefix and checks what it installs: desktop entry, AppStream
# metadata, icons, manual page, version section. Builds the Debian package and checks it with
# Debian's own checker (lintian), then runs the program from the unpacked package through its
# desktop entry. Never installs into or removes from the machine's package database. Needs a
# desktop (with_desktop.sh openbox). Arguments: build folder, application id, version (1.2.3.4),
# version text as in the program's version fields (1.02.0004).
set -u
build=$(cd "$1" && pwd)
id=$2
version=$3
version_text=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install"
for file in bin/tempulix share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
            share/icons/hicolor/{32x32,48x48,64x64,128x128,256x256}/apps/$id.png \
            share/man/man1/tempulix.1.gz share/doc/tempulix/copyright share/doc/tempulix/changelog.gz; do
  [ -f "$prefix/$file" ] || fail "not installed: $file"
done
if desktop-file-validate "$prefix/share/applications/$id.desktop"; then pass "desktop entry valid"; else fail "desktop entry"; fi

# AppStream, pedantic. Its list of top-level domains is IANA's, which leaves out the reserved
# ".example" of our domain: that one note is expected. The developer is given as AppStream 1.0
# has it; AppStream before 1.0 (Debian 12) does not know that element yet and notes it, and
# nothing else.
expected_notes="cid-maybe-not-rdns $id\$"
if ! appstreamcli vercmp "$(appstreamcli --version | sed -n 's/^AppStream version: //p')" 1.0 | grep -q '>\|=='; then
  expected_notes="$expected_notes|unknown-tag developer\$"
fi
appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/$id.metainfo.xml" >"$work/as.log" 2>&1
if [ $? = 0 ] && ! grep -E '^[EWIP]: ' "$work/as.log" | grep -v -q -E "$expected_notes"; then
  pass "metainfo valid, pedantic ($(grep -c -E '^[EWIP]: ' "$work/as.log") expected notes)"
else
  cat "$work/as.log"; fail "metainfo"
fi
release=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$prefix/share/metainfo/$id.metainfo.xml")
if [ "$release" = "$version" ] && [ "$(appstreamcli vercmp "$release" "$version")" = "$release == $version" ]; then
  pass "metainfo release $release"
else
  fail "metainfo release '$release' against the package's $version"
fi
if readelf -p .tempulix.version "$prefix/bin/tempulix" | grep -q "FileVersion=$version_text"; then
  pass "version fields in the program file"
else
  fail "no version section"
fi
for size in 32 48 64 128 256; do
  [ "$(identify -format '%wx%h' "$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png")" = "${size}x${size}" ] ||
    fail "icon ${size} has the wrong size"
done

# The manual page renders without a warning, with the name line whatis needs.
man_warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$prefix/share/man/man1/tempulix.1.gz" 2>&1 >/dev/null)
if [ -z "$man_warnings" ] && MANWIDTH=80 man -l "$prefix/share/man/man1/tempulix.1.gz" 2>/dev/null | grep -q "tempulix - stopwatch"; then
  pass "manual page"
else
  fail "manual page: $man_warnings"
fi

# The package: built from the same install rules, with its library dependencies worked out. It
# stays in the build folder, for checks that install it into a fresh system.
rm -rf "$build/package"
(cd "$work" && cpack --config "$build/CPackConfig.cmake" -B "$build/package" >"$work/cpack.log" 2>&1) ||
  { cat "$work/cpack.log"; fail "cpack"; }
deb=$build/package/tempulix_${version}_$(dpkg --print-architecture).deb
if [ ! -f "$deb" ]; then
  fail "no $(basename "$deb"): $(ls "$build/package")"
  echo "$failures failed"
  exit 1
fi
pass "package file $(basename "$deb")"

# Debian's checker, pedantic: no error, no warning. (Its info that poll() is not fortified is a
# false positive: with one descriptor the compiler checks the call itself.)
lintian --pedantic --display-info --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1
sed 's/^/  lintian: /' "$work/lintian.log"
if grep -q -E '^[EW]: ' "$work/lintian.log"; then
  fail "lintian"
else
  pass "lintian: no error, no warning"
fi

depends=$(dpkg-deb -f "$deb" Depends)
case "$depends" in *libqt6widgets6*) pass "package depends on Qt: $depends" ;; *) fail "Depends: $depends" ;; esac
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version $(dpkg-deb -f "$deb" Version)"
# Everything it needs is installable here (asked, not done).
if [ "$(id -u)" = 0 ]; then
  dpkg --dry-run -i "$deb" >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg would not install it"; }
fi

# Started as a launcher starts it: the Exec line of the packaged desktop entry, on a PATH where
# the packaged program comes first.
dpkg-deb -x "$deb" "$work/root"
exec_line=$(sed -n 's/^Exec=//p' "$work/root/usr/share/applications/$id.desktop")
# shellcheck disable=SC2086  # the Exec line is a command line
PATH="$work/root/usr/bin:$PATH" $exec_line 2>"$work/stderr" &
pid=$!
window=$(timeout 10 xdotool search --sync --onlyvisible --name '^Tempulix - by ' | head -n1)
if [ -n "$window" ] && [ "$(readlink "/proc/$pid/exe")" = "$work/root/usr/bin/tempulix" ]; then
  pass "the desktop entry's '$exec_line' starts the packaged program"
  xprop -id "$window" _NET_WM_ICON | grep -q 'Icon (32 x 32)' && pass "window icon set" || fail "no 32x32 window icon"
  wm_class=$(sed -n 's/^StartupWMClass=//p' "$work/root/usr/share/applications/$id.desktop")
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
