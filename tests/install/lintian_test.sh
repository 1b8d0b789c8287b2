#!/usr/bin/env bash
# Runs lintian over the Debian package the deb_package test built and fails on any error or
# warning; the informational and pedantic notes are printed for the record. Lintian warns
# against running as root, so root hands the check to the unprivileged user "nobody".
# Usage: lintian_test.sh <folder holding ravolin_*.deb> <work folder>
set -u
debs=$1
work=$2
rm -rf "$work"
mkdir -p "$work"

fail() {
  echo "FAIL: $*"
  exit 1
}

deb=$(ls "$debs"/ravolin_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no ravolin_*.deb in $debs (the deb_package test makes it)"

run_lintian() {
  if [ "$(id -u)" -ne 0 ]; then
    lintian "$@"
    return
  fi
  # A copy that nobody may read, in a folder of its own for lintian's temporary files.
  local own
  own=$(mktemp -d) || return 1
  chmod 755 "$own"
  cp "$deb" "$own/" && chmod 644 "$own/$(basename "$deb")" && mkdir "$own/tmp" \
    && chown 65534:65534 "$own/tmp" || return 1
  local last=${*: -1}
  set -- "${@:1:$#-1}" "$own/$(basename "$last")"
  setpriv --reuid=65534 --regid=65534 --clear-groups \
    env HOME="$own/tmp" TMPDIR="$own/tmp" lintian "$@"
  local status=$?
  rm -rf "$own"
  return $status
}

run_lintian --display-info --pedantic "$deb" >"$work/lintian.txt" 2>&1
status=$?
cat "$work/lintian.txt"
# Lintian itself must have run: a crash or a missing tool prints no tags either.
[ "$status" -eq 0 ] || [ "$status" -eq 2 ] || fail "lintian failed to run (status $status)"
grep -E '^(E|W): ' "$work/lintian.txt" && fail "lintian reports errors or warnings (above)"
[ "$status" -eq 0 ] || fail "lintian exited with status $status"
echo "PASS: no errors or warnings; $(grep -cE '^(I|P): ' "$work/lintian.txt") notes"
