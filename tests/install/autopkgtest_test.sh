#!/usr/bin/env bash
# Runs the tests of the installed package (debian/tests) with autopkgtest's null runner over
# the .changes of a source and binary build (build_package.sh): this machine is the testbed,
# so the packages are installed into it (as root, or through sudo), and removed again
# afterwards when they were not installed before.
# Usage: autopkgtest_test.sh <folder holding ravolin_*.changes> <work folder>
source "$(dirname "$0")/../support/test_lib.sh"
debs=$(cd "$1" && pwd)
fresh_work_folder "$2"

changes=$(ls "$debs"/ravolin_*.changes 2>/dev/null | head -n 1)
[ -n "$changes" ] || fail "no ravolin_*.changes in $debs (build_package.sh makes it)"
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
was_installed=0
dpkg-query -W -f='${Status}' ravolin 2>/dev/null | grep -q 'install ok installed' && was_installed=1

"${as_root[@]}" autopkgtest --output-dir "$work/out" "$changes" -- null >"$work/autopkgtest.log" 2>&1
status=$?
cat "$work/autopkgtest.log"
if [ "$was_installed" -eq 0 ]; then
  for pkg in ravolin-dbgsym ravolin; do
    if dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      "${as_root[@]}" dpkg --purge "$pkg" >/dev/null || fail "cannot remove $pkg again"
    fi
  done
fi
# 0: every test passed; 2 would mean a test was skipped, which counts as a failure here.
[ "$status" -eq 0 ] || fail "autopkgtest ended with status $status"
for t in sim-match game-title config-dialog; do
  grep -q "^$t  *PASS" "$work/out/summary" || fail "$t did not pass"
done
echo "PASS"
