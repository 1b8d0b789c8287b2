#!/usr/bin/env bash
# What installing a set of Debian packages adds to a minimal Debian (the Priority: required
# packages): apt-get --simulate, without recommends, against an empty package status, once
# for the minimal system alone and once with the set; the difference is what the set adds.
# Prints the number of packages and their installed size. Installs nothing; reads the apt
# lists, so run apt-get update first for current numbers.
#   measure_deps.sh NAME...            e.g. measure_deps.sh $(scripts/deps.sh play)
set -euo pipefail
[ $# -gt 0 ] || { echo "usage: scripts/measure_deps.sh PACKAGE..." >&2; exit 2; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
: >"$scratch/status"
# The packages apt would install on a machine with nothing, to give it $@, one a line.
installs() {
  apt-get --simulate -o Dir::State::status="$scratch/status" -o APT::Install-Recommends=false \
    install "$@" 2>"$scratch/apt.err" | awk '/^Inst / { print $2 }' | sort -u \
    || { cat "$scratch/apt.err" >&2; return 1; }
  [ -s "$scratch/apt.err" ] && grep -q '^E:' "$scratch/apt.err" && { cat "$scratch/apt.err" >&2; return 1; }
  return 0
}
required=$(apt-cache dumpavail | awk -v RS= '/\nPriority: required\n/ { split($0, l, "\n"); sub(/^Package: /, "", l[1]); print l[1] }' | sort -u)
installs $required >"$scratch/base"
installs $required "$@" >"$scratch/with"
comm -13 "$scratch/base" "$scratch/with" >"$scratch/added"
count=$(grep -c . "$scratch/added" || true)
# Installed-Size is in KiB; the candidate version of each.
kib=$(xargs -r apt-cache show --no-all-versions <"$scratch/added" \
      | awk '/^Installed-Size:/ { sum += $2 } END { print sum + 0 }')
echo "$count packages, $(((kib + 512) / 1024)) MiB installed"
