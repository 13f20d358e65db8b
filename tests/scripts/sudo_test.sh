#!/usr/bin/env bash
# The scripts that need root, run as a user with sudo: each runs itself again as root, and its
# arguments arrive there, seen by its own check of them failing under root and naming them (or,
# for the release, by its stop at uncommitted changes, from another folder). A user without sudo
# gets sudo's refusal and nothing of the check: the check runs only as root, so the arguments
# seen were root's. Argument: the top of the sources.
#
# The two users, and the sudoers entry of the one, are the test's own: made in a mount namespace
# where /etc/passwd, group, shadow and sudoers.d are copies (sudo's timestamps too), so the
# machine's users and sudo are not changed. Needs root.
set -euo pipefail
top=$1
if [ -z "${TEMPULIX_SUDO_TEST_PRIVATE:-}" ]; then
  if [ "$(id -u)" != 0 ]; then
    echo "SKIPPED: needs root, to make the users of the test"
    exit 77
  fi
  command -v sudo >/dev/null || { echo "FAIL: no sudo (the test command installs it: scripts/packages.sh)"; exit 1; }
  # In a chroot "/" is no mount point and cannot be made private; where nothing is shared with
  # another namespace it need not be (as in tests/with_desktop.sh).
  propagation=()
  if ! unshare --mount true 2>/dev/null && ! grep -q ' shared:' /proc/self/mountinfo; then
    propagation=(--propagation unchanged)
  fi
  exec unshare --mount "${propagation[@]}" env TEMPULIX_SUDO_TEST_PRIVATE=1 bash "$0" "$@"
fi

t=$(mktemp -d)
trap 'rm -rf "$t"' EXIT
chmod 755 "$t"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

# Two unused ids, the users' own groups of the same numbers.
ids=()
for id in $(seq 61000 61999); do
  getent passwd "$id" >/dev/null || getent group "$id" >/dev/null || ids+=("$id")
  [ ${#ids[@]} = 2 ] && break
done
with_sudo=tempulix-sudo-test
without_sudo=tempulix-nosudo-test
mkdir "$t/etc" "$t/sudoers.d" "$t/sudo-run"
cp /etc/passwd /etc/group /etc/shadow "$t/etc/"
for i in 0 1; do
  name=$with_sudo
  [ "$i" = 1 ] && name=$without_sudo
  echo "$name:x:${ids[i]}:${ids[i]}:Tempulix test:/nonexistent:/bin/bash" >>"$t/etc/passwd"
  echo "$name:x:${ids[i]}:" >>"$t/etc/group"
  echo "$name:!:20000::::::" >>"$t/etc/shadow"
done
echo "$with_sudo ALL=(ALL:ALL) NOPASSWD: ALL" >"$t/sudoers.d/$with_sudo"
chmod 440 "$t/sudoers.d/$with_sudo"
for file in passwd group shadow; do mount --bind "$t/etc/$file" "/etc/$file"; done
mount --bind "$t/sudoers.d" /etc/sudoers.d
mkdir -p /run/sudo
mount --bind "$t/sudo-run" /run/sudo

# A checkout of the sources (as they are, committed or not) that the user with sudo owns, with
# one change not committed.
mkdir "$t/checkout"
(cd "$top" && git ls-files -z --cached --others --exclude-standard | grep -z -v '^build/' |
   xargs -0 -r -I{} sh -c '[ ! -e "{}" ] || printf "%s\0" "{}"' | tar --null -T - -cf -) |
  tar -xf - -C "$t/checkout"
git -C "$t/checkout" init -q
git -C "$t/checkout" add -A
git -C "$t/checkout" -c user.name=Test -c user.email=test@example.org commit -q -m "the sources"
echo "a change not committed" >>"$t/checkout/README.md"
chown -R "$with_sudo:$with_sudo" "$t/checkout"

# as USER FOLDER COMMAND...: runs the command as the user in that folder of the checkout, with no
# terminal (sudo cannot ask a password); its output in $said, its status in $status. Each ends
# in seconds; should one lose its arguments and set to work, it is stopped after two minutes
# (and the release's stops at the change not committed in any case).
as() {
  local user=$1 folder=$2
  shift 2
  status=0
  said=$(cd "$t/checkout/$folder" && runuser -u "$user" -- setsid timeout 120 "$@" </dev/null 2>&1) || status=$?
}
# Each row: folder, expected status, the words that show the arguments arrived, the command.
while IFS='|' read -r folder expected words command; do
  read -r -a command <<<"$command"
  as "$with_sudo" "$folder" "${command[@]}"
  if [ "$status" = "$expected" ] && grep -q -F -- "$words" <<<"$said"; then
    pass "with sudo, in ./$folder: ${command[*]}: $words"
  else
    fail "with sudo, in ./$folder: ${command[*]}: status $status (expected $expected): $(tr '\n' '|' <<<"$said")"
  fi
  as "$without_sudo" "$folder" "${command[@]}"
  if [ "$status" != 0 ] && ! grep -q -F -- "$words" <<<"$said"; then
    pass "without sudo: refused before the check"
  else
    fail "without sudo, in ./$folder: ${command[*]}: status $status, and the check ran without root: $(tr '\n' '|' <<<"$said")"
  fi
done <<'ROWS'
.|2|test-in-debian.sh: unknown option '--no-such-option'|bash scripts/test-in-debian.sh bookworm --no-such-option
scripts|2|RELEASE is bookworm, trixie or forky, not 'no-such-release'|bash test-in-debian.sh no-such-release --package x.deb
.|2|release.sh: unknown option '--no-such-option'|bash scripts/release.sh --no-such-option
scripts|1|  M README.md|bash release.sh
scripts|2|arm64-emulation.sh: unknown arguments '--no-such-option'|bash arm64-emulation.sh --no-such-option
ROWS
[ ! -e "$t/checkout/dist" ] && pass "no dist/ made while changes are not committed" || fail "dist/ made with changes not committed"

echo "$failures failed"
[ "$failures" = 0 ]
