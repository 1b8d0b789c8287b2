# Sourced by the rv_sim check scripts: the rv_sim under test ($1), a scratch folder removed
# at the end, and fail/finish, which count the failed checks and end with the script's status.
set -u
sim="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL $*"
  failures=$((failures + 1))
}
# finish WHAT: the closing line, and status 1 when any check of WHAT failed.
finish() {
  if [ "$failures" -ne 0 ]; then
    echo "$failures $1 check(s) failed"
    exit 1
  fi
  echo "all $1 checks passed"
}
