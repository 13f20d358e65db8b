#!/usr/bin/env bash
# scripts/install-packages.sh against real apt and dpkg, each given a private state (APT_CONFIG:
# sources, lists, caches and logs of its own; DPKG_ADMINDIR: a dpkg database of its own, where
# the packages installed have no files), and a small archive served on the loopback interface
# (archive_server.py) whose indexes can be made to fail as a mirror's do mid-sync ("File has
# unexpected size"): an archive and its security updates, which bring newer versions of a
# library that 32-bit and 64-bit packages share (Multi-Arch: same), the 64-bit one installed.
# The machine's own apt and dpkg are not touched. Needs root (dpkg and apt want it even so).
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
if [ "$(id -u)" != 0 ]; then
  echo "SKIPPED: needs root, for apt and dpkg on a private database"
  exit 77
fi
t=$(mktemp -d)
server=
cleanup() {
  [ -n "$server" ] && kill "$server" 2>/dev/null
  rm -rf "$t"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

# The archive: stable (tool, lib 1, wine32:i386 depending on lib) and stable-security (lib 2).
deb() {  # deb NAME VERSION ARCH [CONTROL-LINE...]
  local dir=$t/build/$1_$2_$3
  mkdir -p "$dir/DEBIAN" "$t/archive/pool"
  {
    printf 'Package: %s\nVersion: %s\nArchitecture: %s\nMaintainer: Test <test@example.org>\n' "$1" "$2" "$3"
    shift 3
    printf '%s\n' "$@" "Description: a package of the test's own, with no files"
  } >"$dir/DEBIAN/control"
  dpkg-deb -Zgzip --build "$dir" "$t/archive/pool/$(basename "$dir").deb" >/dev/null
}
deb tool 1 amd64
deb wine64 1 amd64
for arch in amd64 i386; do
  deb lib 1 "$arch" "Multi-Arch: same"
  deb lib 2 "$arch" "Multi-Arch: same"
done
deb wine32 1 i386 "Depends: lib"
# What keeps lib for amd64 in place, as the essential packages keep libc6.
deb base 1 amd64 "Essential: yes" "Depends: lib (>= 2)"
index() {  # index SUITE ARCH DEB...: the suite's Packages for ARCH
  mkdir -p "$t/archive/dists/$1/main/binary-$2"
  (cd "$t/archive" && shift 2 && printf 'pool/%s\n' "$@" | while read -r file; do
     dpkg-deb -f "$file"; echo "Filename: $file"; echo "Size: $(stat -c %s "$file")"
     echo "SHA256: $(sha256sum <"$file" | cut -d' ' -f1)"; echo
   done) >"$t/archive/dists/$1/main/binary-$2/Packages"
}
index stable amd64 tool_1_amd64.deb lib_1_amd64.deb wine64_1_amd64.deb
index stable i386 lib_1_i386.deb wine32_1_i386.deb
index stable-security amd64 lib_2_amd64.deb
index stable-security i386 lib_2_i386.deb
# release SUITE [BROKEN-ARCH]: the suite's Release, its size of BROKEN-ARCH's index wrong.
release() {
  local file size
  (cd "$t/archive/dists/$1" &&
   {
     printf 'Suite: %s\nArchitectures: amd64 i386\nComponents: main\nDate: %s\nSHA256:\n' "$1" "$(date -u -R)"
     for file in main/binary-*/Packages; do
       size=$(stat -c %s "$file")
       [ "$file" = "main/binary-${2:-}/Packages" ] && size=$((size + 7))
       echo " $(sha256sum <"$file" | cut -d' ' -f1) $size $file"
     done
   } >Release)
}

# A fresh private apt and dpkg: dpkg knows the foreign architectures given (or none) and has
# lib 2 installed for amd64 (from the security updates, as a kept-up machine has it), with an
# essential package that needs it.
fresh() {
  rm -rf "$t/apt" "$t/dpkg"
  mkdir -p "$t/apt/etc/apt.conf.d" "$t/apt/etc/preferences.d" "$t/apt/etc/sources.list.d" \
    "$t/apt/state/lists/partial" "$t/apt/cache/archives/partial" "$t/apt/log" "$t/dpkg/updates" "$t/dpkg/info"
  touch "$t/dpkg/status"
  cat >"$t/apt/apt.conf" <<CONF
Dir::Etc "$t/apt/etc";
Dir::State "$t/apt/state";
Dir::State::status "$t/dpkg/status";
Dir::Cache "$t/apt/cache";
Dir::Log "$t/apt/log";
APT::Sandbox::User "root";
DPkg::Options { "--admindir=$t/dpkg"; "--log=$t/dpkg.log"; };
CONF
  export APT_CONFIG=$t/apt/apt.conf DPKG_ADMINDIR=$t/dpkg
  # (Never the machine's own.)
  [ "$(apt-config dump | sed -n 's/^Dir::State::status "\(.*\)";$/\1/p')" = "$t/dpkg/status" ] &&
    [ "$(dpkg --print-foreign-architectures | paste -sd' ' -)" = "" ] ||
    { echo "FAIL: apt or dpkg does not take the private state"; exit 1; }
  for arch in "$@"; do dpkg --add-architecture "$arch"; done
  dpkg --log="$t/dpkg.log" -i "$t/archive/pool/lib_2_amd64.deb" "$t/archive/pool/base_1_amd64.deb" >/dev/null
}
# Serves the archive (busy paths as archive_server.py takes them) to the private apt.
serve() {
  if [ -n "$server" ]; then
    kill "$server"
    wait "$server" 2>/dev/null || true
  fi
  rm -f "$t/port"
  /usr/bin/python3 "$top/tests/scripts/archive_server.py" "$t/archive" "$t/port" "$@" 2>"$t/requests" &
  server=$!
  until [ -s "$t/port" ]; do
    kill -0 "$server" 2>/dev/null || { echo "FAIL: the archive server ended: $(cat "$t/requests")"; exit 1; }
    sleep 0.05
  done
  {
    echo "deb [trusted=yes] http://127.0.0.1:$(cat "$t/port") stable main"
    echo "deb [trusted=yes] http://127.0.0.1:$(cat "$t/port") stable-security main"
  } >"$t/apt/etc/sources.list"
}
# Runs install-packages.sh, its standard output in $t/out, standard error in $t/err, status in
# $status.
install() {
  status=0
  bash "$top/scripts/install-packages.sh" "$@" >"$t/out" 2>"$t/err" </dev/null || status=$?
}
foreign() { dpkg --print-foreign-architectures | paste -sd' ' -; }
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'ok installed'; }
said() { echo "status $status; out: $(tr '\n' '|' <"$t/out"); err: $(tail -n 6 "$t/err" | tr '\n' '|')"; }

# 1. The build command on a machine where i386 was added before, the security updates' i386
# index failing: only amd64's lists are asked for, and the package installs.
release stable
release stable-security i386
fresh i386
serve
install tool
if [ "$status" = 0 ] && installed tool; then pass "amd64 package installed beside a failing i386 index"; else fail "amd64 package beside a failing i386 index: $(said)"; fi
if grep -q 'binary-i386' "$t/requests"; then fail "an i386 index was asked for: $(grep binary-i386 "$t/requests" | head -n1)"; else pass "no i386 index asked for"; fi
[ "$(foreign)" = i386 ] && pass "i386, there before, is kept" || fail "foreign architectures: '$(foreign)', expected i386"

# 2. wine32:i386 while the security updates' i386 index fails (the mirror mid-sync): its lib:i386
# can only be the archive's 1, which does not match the installed lib 2 for amd64.
fresh
serve
install --check wine32:i386
if [ "$status" = 1 ] && [ "$(wc -l <"$t/out")" = 1 ] && grep -q '^wine32:i386: what it needs cannot be installed beside what is installed (apt: [^ ]* : Depends: lib' "$t/out" &&
   grep -q 'apt-get update could not fetch stable-security/main/binary-i386/Packages: File has unexpected size' "$t/out"; then
  pass "versions that do not match: $(cat "$t/out")"
else
  fail "versions that do not match: $(said)"
fi
grep -q '^E: Failed to fetch .*binary-i386/Packages' "$t/err" && pass "apt's own words are shown" || fail "apt's words not shown: $(said)"
[ -z "$(foreign)" ] && pass "i386 taken out again after the check" || fail "foreign architectures after the check: '$(foreign)'"
# The same, installing: status 100, the package named, i386 taken out again, the rest installed
# by nothing (apt installs all or none).
install tool wine32:i386
if [ "$status" = 100 ] && grep -q '^install-packages.sh: cannot install wine32:i386: what it needs' "$t/err"; then
  pass "installing: one line names wine32:i386 and why"
else
  fail "installing wine32:i386 beside a failing index: $(said)"
fi
[ -z "$(foreign)" ] && pass "i386 taken out again after the failed install" || fail "foreign architectures after the failed install: '$(foreign)'"

# 3. No i386 lists at all: both i386 indexes fail.
release stable i386
fresh
serve
install --check wine32:i386
grep -q '^wine32:i386: apt has no package lists for i386; apt-get update could not fetch stable/main/binary-i386/Packages' "$t/out" &&
  pass "no i386 lists: $(cat "$t/out")" || fail "no i386 lists: $(said)"
[ -z "$(foreign)" ] && pass "i386 taken out again" || fail "foreign architectures: '$(foreign)'"

# 4. Every index there, wine32 pinned away (Pin-Priority -1); then not pinned: installable, and
# installed, with i386 kept since something was installed from it.
release stable
release stable-security
fresh
serve
printf 'Package: wine32:i386\nPin: release *\nPin-Priority: -1\n' >"$t/apt/etc/preferences.d/no-wine32"
install --check wine32:i386
[ "$status" = 1 ] && grep -q '^wine32:i386: apt has no version of it that may be installed' "$t/out" &&
  pass "pinned away: $(cat "$t/out")" || fail "pinned away: $(said)"
rm "$t/apt/etc/preferences.d/no-wine32"
install --check wine32:i386
[ "$status" = 0 ] && [ ! -s "$t/out" ] && [ -z "$(foreign)" ] && pass "installable: check passes and leaves dpkg as it was" ||
  fail "installable check: $(said); foreign '$(foreign)'"
install wine32:i386
installed wine32:i386 && [ "$(foreign)" = i386 ] && pass "installed, i386 kept" || fail "installing wine32:i386: $(said); foreign '$(foreign)'"

# 5. A package no list has: status 100, named with its reason beside apt's own words.
install tool no-such-package
if [ "$status" = 100 ] && grep -q "^E: Unable to locate package no-such-package" "$t/out" &&
   grep -q "^install-packages.sh: cannot install no-such-package: apt's lists have no package no-such-package for amd64$" "$t/err"; then
  pass "a package no list has is named"
else
  fail "a package no list has: $(said)"
fi

# 6. A mirror that answers "busy" four times for an index: retried, and the install goes on.
fresh
serve /dists/stable/main/binary-amd64/Packages=4
install tool
installed tool && [ "$(grep -c 'binary-amd64/Packages 503' "$t/requests")" = 4 ] && pass "four busy answers retried" ||
  fail "busy mirror: $(said); requests: $(grep -c binary-amd64 "$t/requests")"

# 7. The test command's choice of Wine on a kernel that runs 32-bit programs: both, where 32-bit
# Wine can be installed; else the 64-bit one alone, the reason in its line and for the tests,
# whose 32-bit running ones are then skipped with it (runnable.sh, where 64-bit Wine alone is
# installed, as here).
choice() {
  (. "$top/scripts/packages.sh" && . "$top/scripts/apt.sh" && apt_update 2>/dev/null &&
   TEMPULIX_KERNEL_32_BIT=yes windows_runners 2>/dev/null &&
   printf '%s\n' "${windows_runner_packages[*]}" "$windows_runs" "${TEMPULIX_NO_32_BIT_WINE:-}" &&
   TEMPULIX_KERNEL_32_BIT=yes "$top/tests/window/win32/runnable.sh" win32 echo ran)
}
fresh
serve
out=$(choice) || true
[ "$(sed -n 1p <<<"$out")" = "wine64 wine32:i386" ] && pass "32-bit Wine to be had: both Wines" || fail "32-bit Wine to be had: $out"
release stable-security i386
fresh
serve
out=$(choice) || true
if [ "$(sed -n 1p <<<"$out")" = wine64 ] &&
   grep -q '^Windows programs: .*the shipped 32-bit one is built and checked as a file but not run: this kernel runs 32-bit programs (TEMPULIX_KERNEL_32_BIT=yes), but 32-bit Wine cannot be installed (wine32:i386: what it needs' <<<"$out"; then
  pass "no 32-bit Wine to be had: $(sed -n 2p <<<"$out")"
else
  fail "no 32-bit Wine to be had: $out"
fi
[ -z "$(foreign)" ] && pass "the choice leaves dpkg's architectures as they were" || fail "foreign architectures after the choice: '$(foreign)'"
if [ -x /usr/lib/wine/wine64 ] && [ ! -x /usr/lib/wine/wine ]; then
  grep -q '^SKIPPED: this kernel runs 32-bit programs (TEMPULIX_KERNEL_32_BIT=yes), but 32-bit Wine cannot be installed (wine32:i386: ' <<<"$out" &&
    pass "the 32-bit running tests skipped with the reason" || fail "runnable.sh: $(tail -n1 <<<"$out")"
fi

echo "$failures failed"
[ "$failures" = 0 ]
