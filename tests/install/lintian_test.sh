#!/usr/bin/env bash
# Runs lintian over the .changes of a source and binary build (build_package.sh): the source
# package and every .deb it lists. Fails on any error or warning; the informational and
# pedantic notes are printed for the record (debian/README.source explains each).
# Usage: lintian_test.sh <folder holding ravolin_*.changes> <work folder>
source "$(dirname "$0")/../support/test_lib.sh"
debs=$(cd "$1" && pwd)
fresh_work_folder "$2"
work=$(cd "$work" && pwd)  # lintian runs from inside it

changes=$(ls "$debs"/ravolin_*.changes 2>/dev/null | head -n 1)
[ -n "$changes" ] || fail "no ravolin_*.changes in $debs (build_package.sh makes it)"
grep -q '^Architecture: .*\bsource\b' "$changes" || fail "$changes lists no source package"

# Lintian refuses root unless told; its own option is simpler and safer than handing the
# check to another user, who may not be able to enter the folder the test runs in.
run_lintian() {
  if [ "$(id -u)" -eq 0 ]; then set -- --allow-root "$@"; fi
  lintian "$@"
}

# The work folder is the owner's alone, as a fresh clone in a private folder is: lintian
# must run from a folder that only its owner may enter.
chmod 700 "$work"
cd "$work" || fail "cannot enter $work"
run_lintian --display-info --pedantic "$changes" >"$work/lintian.txt" 2>&1
status=$?
cat "$work/lintian.txt"
# Lintian itself must have run: a crash or a missing tool prints no tags either.
[ "$status" -eq 0 ] || [ "$status" -eq 2 ] || fail "lintian failed to run (status $status)"
grep -E '^(E|W): ' "$work/lintian.txt" && fail "lintian reports errors or warnings (above)"
[ "$status" -eq 0 ] || fail "lintian exited with status $status"
echo "PASS: no errors or warnings; $(grep -cE '^(I|P): ' "$work/lintian.txt") notes"
