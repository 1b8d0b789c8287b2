#!/usr/bin/env bash
# Builds the Debian packages as a distribution does: dpkg-buildpackage over a copy of the
# tree holding what a fresh clone holds (with the working tree's edits), in
# <work folder>/ravolin-<version>/; the source package, the .deb files, the .buildinfo and
# the .changes land in <work folder>. The files of the copy carry the time of the copy, as
# a clone's do. Extra arguments go to dpkg-buildpackage (default: -us -uc, source and binary);
# DEB_BUILD_OPTIONS is taken from the caller.
# Usage: build_package.sh <work folder> [dpkg-buildpackage arguments]
set -euo pipefail
work=$1
shift
[ $# -gt 0 ] || set -- -us -uc
tree=$(cd "$(dirname "$0")/../.." && pwd)
version=$(dpkg-parsechangelog -l "$tree/debian/changelog" -S Version)
rm -rf "$work"
mkdir -p "$work/ravolin-$version"
work=$(cd "$work" && pwd)
# Tracked and new files, never the ignored build folders; a file deleted in the working tree
# is left out.
(cd "$tree" && git ls-files -z --cached --others --exclude-standard \
   | while IFS= read -r -d '' f; do [ -e "$f" ] || [ -L "$f" ] && printf '%s\0' "$f"; done \
   | tar --null -T - -cf -) | tar -xf - --touch -C "$work/ravolin-$version"
start=$(date +%s)
if ! (cd "$work/ravolin-$version" && dpkg-buildpackage "$@") >"$work/build.log" 2>&1; then
  tail -n 80 "$work/build.log"
  echo "FAIL: dpkg-buildpackage $* failed (whole log: $work/build.log)"
  exit 1
fi
echo "dpkg-buildpackage $* (DEB_BUILD_OPTIONS=${DEB_BUILD_OPTIONS:-}) took $(($(date +%s) - start)) s:"
(cd "$work" && ls ravolin_* ravolin-dbgsym_* 2>/dev/null)
