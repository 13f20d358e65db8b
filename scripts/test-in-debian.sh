#!/usr/bin/env bash
# Runs the README's test command in a fresh minimal Debian of another release, as a new user
# would: scripts/test-in-debian.sh RELEASE (bookworm, trixie, or forky, Debian's testing). The
# system is made with debootstrap from the Debian package source apt uses on this machine, and
# cached under /var/cache/tempulix-debian; every run works in a fresh copy of it and a fresh
# clone of this checkout's HEAD. The Debian package the test command builds there is then
# installed into another fresh copy and tested there with Debian's autopkgtest (debian/tests:
# the whole-program test against the installed program).
#
# scripts/test-in-debian.sh RELEASE --package FILE.deb checks only that: a package built
# elsewhere (its source package beside it) installs and passes its autopkgtest on RELEASE. With
# --cross ARCH it cross-builds the package for ARCH (arm64) in a fresh system of RELEASE, with
# ARCH's Qt from Debian's multiarch, checks it as a file and leaves it in build/debian-ARCH.
# With --release DIR it builds the files of a release there instead (scripts/release-files.sh:
# the package, for --cross ARCH if given, and with --windows the Windows programs too), each
# checked to come out the same when built again, and leaves them in DIR.
# With --arch ARCH (arm64) the system is of that architecture: its programs run through
# qemu-user-static, whose emulator must be registered with binfmt_misc
# (scripts/arm64-emulation.sh does that, for the whole machine).
#
# Needs root (or sudo): debootstrap, chroot and mounts, each in a mount and process namespace of
# its own, so nothing stays mounted or running afterwards.
set -euo pipefail
# As a user with sudo it runs itself again as root, with the same arguments, from the same folder.
if [ "$(id -u)" != 0 ]; then exec sudo bash "$(readlink -f "$0")" "$@"; fi
usage="usage: test-in-debian.sh RELEASE [--package FILE.deb | --cross ARCH | --release DIR [--windows]] [--arch ARCH]"
release=${1:?$usage}
shift
case "$release" in
  bookworm | trixie | forky) ;;
  *) echo "test-in-debian.sh: RELEASE is bookworm, trixie or forky, not '$release'; $usage" >&2; exit 2 ;;
esac
package=
cross=
release_out=
windows=
arch=$(dpkg --print-architecture)
while [ $# -gt 0 ]; do
  case "$1" in
    --package) package=$(readlink -f "${2:?--package needs a file}"); shift 2
               [ -f "$package" ] || { echo "no package file $package" >&2; exit 2; } ;;
    --arch) arch=${2:?--arch needs an architecture}; shift 2 ;;
    --cross) cross=${2:?--cross needs an architecture}; shift 2 ;;
    --release) release_out=$(mkdir -p "${2:?--release needs a folder}" && cd "$2" && pwd); shift 2 ;;
    --windows) windows=1; shift ;;
    *) echo "test-in-debian.sh: unknown option '$1'; $usage" >&2; exit 2 ;;
  esac
done
native=$(dpkg --print-architecture)
top=$(cd "$(dirname "$(readlink -f "$0")")/.." && pwd)
cd "$top"
. scripts/packages.sh
bash scripts/install-packages.sh debootstrap

cache=/var/cache/tempulix-debian/$release
[ "$arch" = "$native" ] || cache=$cache-$arch
work=$(mktemp -d /var/tmp/tempulix-debian.XXXXXX)
trap 'rm -rf "$work"' EXIT
say() { echo "== $release: $* =="; }
seconds() { echo $(($(date +%s) - $1)); }

# The package source apt uses here, as apt itself lists it: the archive and its security
# updates. Nothing names a host.
sources=$(apt-get indextargets --format '$(SITE) $(RELEASE)' 'Identifier: Packages')
archive=$(awk '$2 !~ /-(security|updates|backports)$/ {print $1; exit}' <<<"$sources")
security=$(awk '$2 ~ /-security$/ {print $1; exit}' <<<"$sources")
[ -n "$archive" ] || { echo "apt lists no Debian archive on this machine" >&2; exit 1; }

# The cached base: a minimal system with git, made once. A half-made one is never used.
if [ ! -f "$cache/complete" ]; then
  started=$(date +%s)
  say "bootstrapping from $archive"
  rm -rf "$cache"
  mkdir -p "$cache"
  # Debian 12's debootstrap has no script for the releases after 13: they are made as sid is.
  script=/usr/share/debootstrap/scripts/$release
  [ -e "$script" ] || script=/usr/share/debootstrap/scripts/sid
  debootstrap --variant=minbase --arch="$arch" --include=git,ca-certificates "$release" \
    "$cache/root" "$archive" "$script" >"$cache/debootstrap.log" 2>&1 ||
    { tail -n 30 "$cache/debootstrap.log"; exit 1; }
  {
    echo "deb $archive $release main"
    echo "deb $archive $release-updates main"
    [ -n "$security" ] && echo "deb $security $release-security main"
  } >"$cache/root/etc/apt/sources.list"
  # A testing release's Release file here can be past its Valid-Until date: apt is told to take
  # it all the same.
  case "$release" in
    bookworm | trixie) ;;
    *) echo 'Acquire::Check-Valid-Until "false";' >"$cache/root/etc/apt/apt.conf.d/99tempulix-valid-until" ;;
  esac
  rm -rf "$cache/root/var/cache/apt/archives/"*.deb
  touch "$cache/complete"
  say "bootstrapped in $(seconds "$started") s"
fi
# Downloaded packages are kept beside the base, so that a rerun installs without fetching again.
mkdir -p "$cache/archives/partial"

# A fresh copy of the base at $work/NAME, with this machine's name resolution.
fresh_copy() {
  cp -a "$cache/root" "$work/$1"
  cp /etc/resolv.conf /etc/hosts "$work/$1/etc/"
}

# The package: installed into a fresh copy and tested there as Debian tests an installed package,
# by autopkgtest (which installs what the test needs, debian/tests/control), with the tests of the
# source package built beside it (a native one: its sources are one tarball).
check_package() {
  local deb=$1 started sources
  started=$(date +%s)
  sources=$(ls "$(dirname "$deb")"/tempulix_*.tar.xz 2>/dev/null | head -n1)
  [ -n "$sources" ] || { echo "no source package beside $deb" >&2; exit 1; }
  say "autopkgtest of $(basename "$deb") in a fresh minimal system"
  fresh_copy package
  cp "$deb" "$work/package/tmp/"
  mkdir -p "$work/package/tmp/src"
  tar -xJf "$sources" --strip-components=1 -C "$work/package/tmp/src"
  scripts/in-system.sh --own-processes --archives "$cache/archives" "$work/package" bash -c "
    bash /tmp/src/scripts/install-packages.sh autopkgtest >/tmp/apt.log 2>&1 || { cat /tmp/apt.log; exit 1; }
    autopkgtest --output-dir /tmp/autopkgtest /tmp/$(basename "$deb") /tmp/src/ -- null \
      >/tmp/autopkgtest.log 2>&1
    status=\$?
    # Each test's own lines where it failed, a count where it passed, then autopkgtest's verdicts.
    for out in /tmp/autopkgtest/*-stdout; do
      [ -e \"\$out\" ] || continue
      echo \"  \$(basename \"\$out\" -stdout): \$(grep -c '^ok:' \"\$out\") checks ok\"
      grep -v '^ok:' \"\$out\" | sed 's/^/    /' || true
    done
    sed 's/^/  autopkgtest: /' /tmp/autopkgtest/summary 2>/dev/null || tail -n 30 /tmp/autopkgtest.log
    [ \$status = 0 ]"
  say "the package installs and passes its autopkgtest, in $(seconds "$started") s"
}

if [ -n "$package" ]; then
  check_package "$package"
  exit
fi

# The files of a release, built in a fresh system with what their builds need.
if [ -n "$release_out" ]; then
  started=$(date +%s)
  fresh_copy release
  git clone -q --no-local "$top" "$work/release/root/tempulix"
  say "building release files at $(git -C "$top" log -1 --format=%h)${cross:+ for $cross}${windows:+ and the Windows programs}"
  extra=(diffoscope-minimal)
  [ -n "$windows" ] && extra+=(cmake ninja-build g++-mingw-w64-i686 g++-mingw-w64-x86-64)
  [ -n "$cross" ] && extra+=("crossbuild-essential-$cross")
  scripts/in-system.sh --own-processes --archives "$cache/archives" "$work/release" bash -c "
    set -e
    cd /root/tempulix
    ${cross:+dpkg --add-architecture $cross}
    . scripts/apt.sh
    apt_update $cross 2>/tmp/apt.log
    export DEBIAN_FRONTEND=noninteractive
    bash scripts/install-packages.sh dpkg-dev debhelper lintian ${extra[*]} >>/tmp/apt.log 2>&1 ||
      { tail -n 30 /tmp/apt.log; exit 1; }
    apt-get build-dep -y -qq ${cross:+-a $cross} --no-install-recommends ./ >>/tmp/apt.log 2>&1 ||
      { tail -n 30 /tmp/apt.log; exit 1; }
    bash scripts/release-files.sh /root/out ${cross:+--arch $cross} ${windows:+--windows}"
  cp -r "$work"/release/root/out/. "$release_out/"
  say "release files built and built again the same, in $(seconds "$started") s: $(cd "$release_out" && find . -type f | sort | tr '\n' ' ')"
  exit
fi

# A cross build: the package for another architecture, built as Debian cross-builds packages,
# and its files checked (it cannot run here).
if [ -n "$cross" ]; then
  started=$(date +%s)
  fresh_copy cross
  git clone -q --no-local "$top" "$work/cross/root/tempulix"
  say "cross-building the $cross package at $(git -C "$top" log -1 --format=%h)"
  scripts/in-system.sh --own-processes --archives "$cache/archives" "$work/cross" bash -c "
    set -e
    cd /root/tempulix
    dpkg --add-architecture $cross
    . scripts/apt.sh
    apt_update $cross 2>/tmp/apt.log
    export DEBIAN_FRONTEND=noninteractive
    bash scripts/install-packages.sh crossbuild-essential-$cross dpkg-dev debhelper lintian binutils \
      >>/tmp/apt.log 2>&1 || { tail -n 30 /tmp/apt.log; exit 1; }
    apt-get build-dep -y -qq -a $cross --no-install-recommends ./ >>/tmp/apt.log 2>&1 ||
      { tail -n 30 /tmp/apt.log; exit 1; }
    changes=\$(bash scripts/build-package.sh --arch $cross | tail -n1)
    bash tests/package/package_test.sh \"\$changes\" \$(dpkg-parsechangelog -S Version)"
  rm -rf "$top/build/debian-$cross"
  mkdir -p "$top/build/debian-$cross"
  cp "$work"/cross/root/tempulix/build/debian/*.deb "$work"/cross/root/tempulix/build/debian/*.changes \
    "$work"/cross/root/tempulix/build/debian/*.dsc "$work"/cross/root/tempulix/build/debian/*.tar.xz \
    "$top/build/debian-$cross/"
  say "the $cross package, built and checked in $(seconds "$started") s: $(ls "$top/build/debian-$cross"/tempulix_*.deb)"
  exit
fi

[ -z "$(git -C "$top" status --porcelain)" ] ||
  echo "note: only what is committed is tested; this checkout has changes that are not" >&2
started=$(date +%s)
fresh_copy system
git clone -q --no-local "$top" "$work/system/root/tempulix"
say "the README's test command in a fresh $release, at $(git -C "$top" log -1 --format=%h)"
scripts/in-system.sh --own-processes --archives "$cache/archives" "$work/system" \
  bash -c 'cd /root/tempulix && bash scripts/test.sh'
say "test command passed in $(seconds "$started") s"
built=$(ls "$work"/system/root/tempulix/build/debian/tempulix_*_"$arch".deb 2>/dev/null | head -n1)
[ -n "$built" ] || { echo "the test command built no package in build/debian" >&2; exit 1; }
check_package "$built"
