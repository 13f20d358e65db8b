# Talking to apt for the set-up scripts (sourced by them): package lists brought up to date as
# far as the archive lets them be, and one line saying why a package cannot be installed. It
# installs nothing itself (scripts/install-packages.sh does); as a user other than root it asks
# sudo for each command that changes the machine.
# shellcheck disable=SC2034  # apt_update_failures is read by the scripts that source this

apt_as_root=()
[ "$(id -u)" -eq 0 ] || apt_as_root=(sudo)

# What a retry can mend (a mirror that answers "busy", a connection dropped) is tried again, up to
# five times, with apt's own pauses between (1, 2, 4, 8, 16 s); what it cannot mend (an index of
# the wrong size while the mirror syncs) fails at once.
apt_options=(-o Acquire::Retries=5)

# Lines read joined into one, with "; " between.
joined() { awk '{ out = out (NR > 1 ? "; " : "") $0 } END { printf "%s", out }'; }

# apt_update [ARCH...]: brings the package lists of this machine's own architecture and of those
# given up to date; the lists of the other architectures dpkg knows are left as they are, so that
# an architecture the packages do not need (i386 added for Wine) cannot stand in their way. An
# index that fails to download is not the end: apt keeps the lists it had for that source, the
# failures are named in apt_update_failures (one "INDEX: REASON" a line) and said in one line,
# and the caller goes on; whether what it needs can still be installed is for apt-get install to
# tell. Status 0 whatever apt's.
apt_update_failures=
apt_update() {
  local architectures log status=0
  architectures=$(printf '%s\n' "$(dpkg --print-architecture)" "$@" | awk '!seen[$0]++' | paste -sd, -)
  log=$(mktemp)
  # (List-Cleanup off: the lists of the architectures left out stay on disk for apt's other uses.)
  "${apt_as_root[@]}" env LC_ALL=C apt-get "${apt_options[@]}" -o APT::Architectures="$architectures" \
    -o APT::Get::List-Cleanup=false update -qq >"$log" 2>&1 || status=$?
  cat "$log" >&2
  # "E: Failed to fetch URL  REASON" (W: where apt took it for a passing fault): the index named
  # by its path in the archive (dists/SUITE/COMPONENT/binary-ARCH/Packages), and the reason's
  # first line. apt gives no reason for an index it gave up once another of its source had failed
  # (it takes a source's indexes all together or not at all).
  apt_update_failures=$(sed -n 's|^[EW]: Failed to fetch [^ ]*/dists/\([^ ]*\)  *\(.*\)$|\1: \2|p' "$log" |
                          sed -e 's/ *\[IP: [^]]*\]$//' -e 's/: *$/: dropped with the rest of its source/')
  rm -f "$log"
  if [ "$status" != 0 ] || [ -n "$apt_update_failures" ]; then
    echo "apt-get update (for $architectures) could not bring every list up to date" \
         "(status $status${apt_update_failures:+: $(joined <<<"$apt_update_failures")});" \
         "going on with the lists apt has" >&2
  fi
  return 0
}

# Whether apt has package lists for an architecture at all.
apt_has_lists() {
  local file
  for file in $(apt-get indextargets --format '$(FILENAME)' "Architecture: $1" 'Identifier: Packages' 2>/dev/null); do
    # (Stored compressed or not, as apt was told.)
    compgen -G "$file*" >/dev/null && return 0
  done
  return 1
}

# why_not_installable PACKAGE: one line, "PACKAGE: REASON", saying why apt cannot install the
# package by itself (with what it depends on), in apt's own words where apt has them; status 1
# with nothing said where apt could install it. The reasons: apt has no lists for its
# architecture, its lists have no package of that name, no version of it may be installed (none
# there, or pinned below 0), or what it depends on cannot be installed with what is installed
# (versions that do not match). Where apt_update named failures of the architecture's indexes,
# they are added, as the likely cause.
why_not_installable() {
  local package=$1 architecture name candidate simulated reason failed
  name=${package%%:*}
  architecture=$(dpkg --print-architecture)
  [ "$name" = "$package" ] || architecture=${package##*:}
  candidate=$(LC_ALL=C apt-cache policy "$package" 2>/dev/null | sed -n 's/^  Candidate: //p')
  if [ -z "$candidate" ] && ! apt_has_lists "$architecture"; then
    reason="apt has no package lists for $architecture"
  elif [ -z "$candidate" ]; then
    reason="apt's lists have no package $name for $architecture"
  elif [ "$candidate" = "(none)" ]; then
    reason="apt has no version of it that may be installed (apt-cache policy $package: Candidate: (none))"
  else
    simulated=$(LC_ALL=C apt-get install -s --no-install-recommends --no-remove "$package" 2>&1) && return 1
    reason=$(sed -n 's/^ \+\([^ ]\+ : .*\)$/\1/p' <<<"$simulated" | head -n 2 | joined)
    [ -n "$reason" ] || reason=$(grep -m1 '^E: ' <<<"$simulated" || echo "apt-get install -s $package failed")
    reason="what it needs cannot be installed beside what is installed (apt: $reason)"
  fi
  failed=$(grep "binary-$architecture/" <<<"$apt_update_failures" | joined)
  echo "$package: $reason${failed:+; apt-get update could not fetch $failed}"
}
