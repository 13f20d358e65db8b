#!/usr/bin/env bash
# Writes the Debian source package's generated files from their one source each: debian/control
# (its Build-Depends from scripts/packages.sh), debian/tests/control (what the installed-program
# test needs, from the same), debian/changelog and debian/copyright (the version, release date,
# domain and contact from CMakeLists.txt), each from its template in resources/linux/. They are committed, since Debian's tools read them before anything is built.
# With --check it writes nothing and fails if a committed file differs from what it would write.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh

setting() { sed -n "s/^ *$1 *\(.*\))\$/\1/p" CMakeLists.txt | head -n1; }
version=$(sed -n 's/^project(Tempulix VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
description=$(sed -n 's/.*DESCRIPTION "\([^"]*\)".*/\1/p' CMakeLists.txt | head -n1)
release_date=$(setting 'set(TEMPULIX_RELEASE_DATE')
domain=$(setting 'set(TEMPULIX_DOMAIN')
contact=$(setting 'set(TEMPULIX_CONTACT' | tr -d '"')
contact=${contact//'${TEMPULIX_DOMAIN}'/$domain}
[ -n "$version" ] && [ -n "$release_date" ] && [ -n "$domain" ] && [ -n "$description" ] ||
  { echo "debian-files.sh: CMakeLists.txt has no version, date, domain or description" >&2; exit 1; }
# Noon UTC on the release day: the changelog's date, and with it every file time in the package.
rfc2822=$(LC_ALL=C date -u -R -d "$release_date 12:00")

depends="debhelper-compat (= 13)"
for package in "${debian_build_depends[@]}"; do depends+=", $package"; done
for package in "${debian_check_depends[@]}"; do depends+=", $package <!nocheck>"; done
test_depends="tempulix"
for package in "${package_check_packages[@]}"; do test_depends+=", $package"; done

substitute() {
  sed -e "s|@PROJECT_VERSION@|$version|g" -e "s|@PROJECT_DESCRIPTION@|$description|g" \
      -e "s|@TEMPULIX_DOMAIN@|$domain|g" -e "s|@TEMPULIX_CONTACT@|$contact|g" \
      -e "s|@TEMPULIX_RELEASE_DATE_RFC2822@|$rfc2822|g" \
      -e "s|@TEMPULIX_RELEASE_YEAR@|${release_date%%-*}|g" -e "s|@BUILD_DEPENDS@|$depends|g" \
      -e "s|@TEST_DEPENDS@|$test_depends|g" "$1"
}
status=0
for file in control changelog copyright tests/control; do
  wanted=$(substitute "resources/linux/debian-${file//\//-}.in")
  if [ "${1:-}" = --check ]; then
    if [ "$wanted" != "$(cat "debian/$file" 2>/dev/null)" ]; then
      echo "debian/$file is not what scripts/debian-files.sh makes of its sources:"
      diff <(echo "$wanted") "debian/$file" || true
      status=1
    fi
  else
    printf '%s\n' "$wanted" >"debian/$file"
  fi
done
exit "$status"
