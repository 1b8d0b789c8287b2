#!/usr/bin/env bash
# Builds the binary packages a second time and compares them byte for byte with a first
# build (build_package.sh): another folder, a later time, another umask, time zone (UTC+14),
# locale and host name. On a difference it prints what differs: diffoscope when
# it is there, else the members of each .deb and of its data archive, compared with cmp -l.
# Usage: reproducible_test.sh <folder of the first build> <work folder>
source "$(dirname "$0")/../support/test_lib.sh"
first=$(cd "$1" && pwd)
work=$2
mkdir -p "$work"
work=$(cd "$work" && pwd)  # the comparison reads both builds from folders of its own
here=$(cd "$(dirname "$0")" && pwd)

debs=$(cd "$first" && ls ravolin_*.deb ravolin-dbgsym_*.deb 2>/dev/null)
[ -n "$debs" ] || fail "no .deb in $first (build_package.sh makes them)"
sleep 1  # a later second for every clock the build reads, however quick the first was

# The second build's surroundings differ from any first one's.
second() {
  umask 0002
  export TZ=Pacific/Kiritimati LC_ALL=C LANG=C LANGUAGE=
  bash "$here/build_package.sh" "$work/elsewhere" -us -uc -b
}
if [ "$(id -u)" -eq 0 ] && unshare --uts true 2>/dev/null; then
  # Another host name too, in a namespace of the build's own.
  export -f second
  export here work
  unshare --uts bash -c 'hostname ravolin-second-build && second' || fail "the second build failed"
else
  (second) || fail "the second build failed"
fi
differ=0
for deb in $debs; do
  other="$work/elsewhere/$deb"
  [ -f "$other" ] || { echo "the second build made no $deb"; differ=1; continue; }
  if cmp -s "$first/$deb" "$other"; then
    echo "same bytes: $deb ($(stat -c %s "$other") bytes)"
    continue
  fi
  differ=1
  echo "DIFFERENT: $deb"
  if command -v diffoscope >/dev/null; then
    diffoscope --no-progress "$first/$deb" "$other" | head -n 200
    continue
  fi
  # Without diffoscope: each ar member, then each file of the data archive.
  for side in a b; do
    mkdir -p "$work/cmp/$side"
    src=$first/$deb
    [ "$side" = b ] && src=$other
    (cd "$work/cmp/$side" && ar x "$src" && mkdir data && tar -xf data.tar.* -C data)
  done
  (cd "$work/cmp/a" && find . -type f | sort) | while read -r f; do
    cmp -s "$work/cmp/a/$f" "$work/cmp/b/$f" && continue
    echo "--- $f differs (cmp -l, first 20 bytes):"
    cmp -l "$work/cmp/a/$f" "$work/cmp/b/$f" 2>&1 | head -n 20
  done
  rm -rf "$work/cmp"
done
[ "$differ" -eq 0 ] || fail "two builds of the same tree gave different packages"
echo "PASS: $(echo $debs | wc -w) packages byte-identical"
