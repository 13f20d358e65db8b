#!/usr/bin/env bash
# Installs the given Debian packages that are not installed yet (as root, or through sudo):
# install-packages.sh [--check] PACKAGE...
#
# A package named with an architecture (wine32:i386) makes sure dpkg knows that architecture,
# and says so before it adds it; an architecture added here is taken away again when nothing
# was installed from it, so that dpkg's architectures are as they were. Package lists that fail
# to download are not the end (scripts/apt.sh: apt_update): only the packages' own
# architectures are brought up to date, and the install goes on with the lists apt has. Where
# it fails, each package that apt cannot install is named in one line with the reason, after
# apt's own words; status 100, as apt's.
#
# With --check nothing is installed: the status tells whether the packages could be (0) or not
# (1), each one that could not is named on standard output in one line with the reason
# ("PACKAGE: REASON"), and dpkg's architectures are left as they were found. Everything else it
# says (apt's words) goes to standard error.
set -euo pipefail
. "$(dirname "$0")/apt.sh"
check=
if [ "${1:-}" = --check ]; then
  check=1
  shift
fi
missing=()
architectures=()
for package in "$@"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed' && continue
  missing+=("$package")
  case "$package" in
    *:*) architectures+=("${package##*:}") ;;
  esac
done
[ ${#missing[@]} -eq 0 ] && exit 0

# Takes away the architectures added below that nothing has been installed from, however this
# ends (a check, a failure, an interruption).
added=()
log=
restore_architectures() {
  local architecture
  for architecture in "${added[@]}"; do
    # grep reads the whole list: one that stopped at the first match (-q) would end dpkg-query
    # with SIGPIPE, and under pipefail an architecture in use would count as unused.
    if dpkg-query -W -f='${Architecture}\n' 2>/dev/null | grep -x "$architecture" >/dev/null; then
      continue
    fi
    if ! "${apt_as_root[@]}" dpkg --remove-architecture "$architecture"; then
      echo "Kept the $architecture architecture in dpkg: dpkg would not take it out" >&2
      continue
    fi
    echo "Took the $architecture architecture out of dpkg again (dpkg --remove-architecture" \
         "$architecture): nothing was installed from it" >&2
  done
  [ -z "$log" ] || rm -f "$log"
}
trap restore_architectures EXIT
for architecture in $(printf '%s\n' "${architectures[@]}" | sort -u); do
  if [ "$architecture" != "$(dpkg --print-architecture)" ] &&
     ! dpkg --print-foreign-architectures | grep -qx "$architecture"; then
    echo "Adding the $architecture architecture to dpkg (dpkg --add-architecture $architecture):" \
         "its packages are needed by: $(printf '%s\n' "${missing[@]}" | grep ":$architecture$" | paste -sd' ' -)" >&2
    "${apt_as_root[@]}" dpkg --add-architecture "$architecture"
    added+=("$architecture")
  fi
done
# say_why APT_OUTPUT PACKAGE...: names each package that apt cannot install, in one line each
# (on standard output); where each could be installed by itself, says so with apt's last error.
say_why() {
  local words=$1 package said=
  shift
  for package in "$@"; do
    why_not_installable "$package" && said=1
  done
  [ -n "$said" ] ||
    echo "$*: each could be installed by itself, not all of them now (apt: $(grep '^E: ' <<<"$words" | tail -n1))"
}

apt_update "${architectures[@]}"
if [ -n "$check" ]; then
  simulated=$(LC_ALL=C apt-get install -s --no-install-recommends --no-remove "${missing[@]}" 2>&1) && exit 0
  say_why "$simulated" "${missing[@]}"
  exit 1
fi

echo "Installing: ${missing[*]}" >&2
log=$(mktemp)
if ! "${apt_as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get "${apt_options[@]}" install -y \
       --no-install-recommends --no-remove "${missing[@]}" 2>&1 | tee "$log"; then
  say_why "$(cat "$log")" "${missing[@]}" | sed 's/^/install-packages.sh: cannot install /' >&2
  exit 100
fi
