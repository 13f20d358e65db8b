#!/usr/bin/env bash
# Writes the SHA256SUMS of a release: release-sums.sh DIR, for the files in DIR and its folders
# (all but SHA256SUMS itself). Each file is named twice: by its path in DIR, for a download that
# keeps the folders, and by its name alone, for one that puts every file into one folder, as a
# browser does. So `sha256sum --check --ignore-missing SHA256SUMS`, run where SHA256SUMS is,
# checks the files either way (and ignores the names of those not downloaded). Each file must
# have a name of its own for that: two of the same name are an error, and nothing is written.
set -euo pipefail
dir=${1:?usage: release-sums.sh DIR}
cd "$dir"
files=$(find . -type f ! -name SHA256SUMS | sed 's|^\./||' | LC_ALL=C sort)
[ -n "$files" ] || { echo "release-sums.sh: no files in $dir" >&2; exit 1; }
same=$(sed 's|.*/||' <<<"$files" | LC_ALL=C sort | uniq -d)
if [ -n "$same" ]; then
  echo "release-sums.sh: more than one file is called $(paste -sd' ' - <<<"$same"):" \
       "$(grep -E "(^|/)($(sed 's/[.[\*^$]/\\&/g' <<<"$same" | paste -sd'|' -))$" <<<"$files" | paste -sd' ' -)" >&2
  exit 1
fi
sums=$(while read -r file; do sha256sum -- "$file"; done <<<"$files")
# (The paths first, then the names alone of those in a folder; each list in the order of the
# paths.)
{
  echo "$sums"
  sed -n 's|^\([0-9a-f]\{64\}  \).*/|\1|p' <<<"$sums"
} >SHA256SUMS.new
mv SHA256SUMS.new SHA256SUMS
