#!/usr/bin/env bash
# Installs the given Debian packages that are not installed yet (as root, or through sudo).
# A package named with an architecture (wine32:i386) makes sure dpkg knows that architecture,
# and says so before it adds it.
set -euo pipefail
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
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
for architecture in $(printf '%s\n' "${architectures[@]}" | sort -u); do
  if [ "$architecture" != "$(dpkg --print-architecture)" ] &&
     ! dpkg --print-foreign-architectures | grep -qx "$architecture"; then
    echo "Adding the $architecture architecture to dpkg (dpkg --add-architecture $architecture):" \
         "its packages are needed by: $(printf '%s\n' "${missing[@]}" | grep ":$architecture$" | tr '\n' ' ')"
    "${as_root[@]}" dpkg --add-architecture "$architecture"
  fi
done
echo "Installing: ${missing[*]}"
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
