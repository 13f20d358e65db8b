#!/usr/bin/env bash
# Runs the README's test command in a fresh minimal Debian of another release, as a new user
# would: scripts/test-in-debian.sh RELEASE (bookworm, trixie). The system is made with
# debootstrap from the Debian package source apt uses on this machine, and cached under
# /var/cache/tempulix-debian; every run works in a fresh copy of it and a fresh clone of this
# checkout's HEAD. The Debian package the test command builds there is then installed with
# apt-get into another fresh copy, which gets nothing else, and started on a desktop.
#
# scripts/test-in-debian.sh RELEASE --package FILE.deb checks only that: a package built
# elsewhere installs and starts on RELEASE.
#
# Needs root (or sudo): debootstrap, chroot and mounts, each in a mount and process namespace of
# its own, so nothing stays mounted or running afterwards.
set -euo pipefail
release=${1:?usage: test-in-debian.sh RELEASE [--package FILE.deb]}
package=
if [ "${2:-}" = --package ]; then
  package=$(readlink -f "${3:?--package needs a file}")
  [ -f "$package" ] || { echo "no package file $3" >&2; exit 2; }
fi
top=$(cd "$(dirname "$0")/.." && pwd)
if [ "$(id -u)" != 0 ]; then exec sudo bash "$0" "$@"; fi
cd "$top"
. scripts/packages.sh
# The desktop the package is started on runs here, outside the new system: that system holds
# the package and what it depends on, nothing more.
bash scripts/install-packages.sh debootstrap "${package_check_packages[@]}"

cache=/var/cache/tempulix-debian/$release
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
  debootstrap --variant=minbase --include=git,ca-certificates "$release" "$cache/root" "$archive" \
    >"$cache/debootstrap.log" 2>&1 || { tail -n 30 "$cache/debootstrap.log"; exit 1; }
  {
    echo "deb $archive $release main"
    echo "deb $archive $release-updates main"
    [ -n "$security" ] && echo "deb $security $release-security main"
  } >"$cache/root/etc/apt/sources.list"
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

# The package: installed with apt-get and nothing else, then the whole-program test against the
# program its desktop entry starts, on a desktop served from here.
check_package() {
  local deb=$1 started exec_line
  started=$(date +%s)
  say "installing $(basename "$deb") into a fresh minimal system"
  fresh_copy package
  cp "$deb" "$work/package/tmp/"
  scripts/in-system.sh --own-processes --archives "$cache/archives" "$work/package" bash -c "
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y \
      --no-install-recommends /tmp/$(basename "$deb") >/tmp/apt.log 2>&1 || { cat /tmp/apt.log; exit 1; }
    dpkg-query -W tempulix"
  say "installed in $(seconds "$started") s; the whole-program test on the installed program"
  exec_line=$(sed -n 's/^Exec=//p' "$work/package"/usr/share/applications/*.desktop)
  # shellcheck disable=SC2086  # the Exec line is a command line
  tests/with_desktop.sh openbox tests/window/program_test.sh \
    scripts/in-system.sh --x-servers "$work/package" $exec_line
  say "the package installs and runs"
}

if [ -n "$package" ]; then
  check_package "$package"
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
built=$(ls "$work"/system/root/tempulix/build/default/package/tempulix_*.deb 2>/dev/null | head -n1)
[ -n "$built" ] || { echo "the test command built no package in build/default/package" >&2; exit 1; }
check_package "$built"
