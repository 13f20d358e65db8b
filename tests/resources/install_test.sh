#!/usr/bin/env bash
# Installs the build into a prefix and checks the desktop files; builds the Debian package,
# checks what it holds and needs, and runs the program from it. Needs a display with a window
# manager (with_desktop.sh openbox). Arguments: build folder, application id.
set -u
build=$(cd "$1" && pwd)
id=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install"
for file in bin/tempulix share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
            share/icons/hicolor/{32x32,48x48,64x64,128x128,256x256}/apps/$id.png; do
  [ -f "$prefix/$file" ] || fail "not installed: $file"
done
if desktop-file-validate "$prefix/share/applications/$id.desktop"; then pass "desktop entry valid"; else fail "desktop entry"; fi
if appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/$id.metainfo.xml" >"$work/as.log"; then
  pass "metainfo valid"
else
  cat "$work/as.log"; fail "metainfo"
fi
grep -q 'release version="1.00.0007"' "$prefix/share/metainfo/$id.metainfo.xml" || fail "metainfo release"
if readelf -p .tempulix.version "$prefix/bin/tempulix" | grep -q 'FileVersion=1.00.0007'; then
  pass "version fields in the program file"
else
  fail "no version section"
fi
for size in 32 48 64 128 256; do
  [ "$(identify -format '%wx%h' "$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png")" = "${size}x${size}" ] ||
    fail "icon ${size} has the wrong size"
done

# The package: built from the same install rules, with its library dependencies worked out.
(cd "$work" && cpack --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1) ||
  { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/package/*.deb 2>/dev/null | head -n1)
if [ -z "$deb" ]; then
  fail "no .deb"
else
  depends=$(dpkg-deb -f "$deb" Depends)
  case "$depends" in *libqt6widgets6*) pass "package depends on Qt: $depends" ;; *) fail "Depends: $depends" ;; esac
  [ "$(dpkg-deb -f "$deb" Version)" = 1.0.0.7 ] || fail "package version $(dpkg-deb -f "$deb" Version)"
  dpkg-deb -c "$deb" >"$work/contents"
  grep -q "usr/share/applications/$id.desktop" "$work/contents" || fail "package lacks the desktop entry"
  # Everything it needs is installable here, and it runs from what it unpacks.
  if [ "$(id -u)" = 0 ]; then
    dpkg --dry-run -i "$deb" >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg would not install it"; }
  fi
  dpkg-deb -x "$deb" "$work/root"
  "$work/root/usr/bin/tempulix" 2>/dev/null &
  pid=$!
  window=$(timeout 10 xdotool search --sync --onlyvisible --name '^Tempulix - by ' | head -n1)
  if [ -n "$window" ]; then
    pass "the packaged program opens its window"
    xprop -id "$window" _NET_WM_ICON | grep -q 'Icon (32 x 32)' && pass "window icon set" || fail "no 32x32 window icon"
  else
    fail "the packaged program shows no window"
  fi
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
fi
echo "$failures failed"
[ "$failures" = 0 ]
