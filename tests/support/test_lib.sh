# Sourced by every shell test: unset variables are errors, one way to fail, and the work
# folder.
set -u

# fail MESSAGE: names the failed check. In a script that sets failures=0 before its checks,
# fail counts and the checks go on; finish ends with the verdict. Otherwise it runs on_fail
# when the script defines one, shows the program's output ($log, when set), ends the program
# ($pid, when set) and exits 1. All of it goes to standard error, so a check inside $(...)
# is still heard.
fail() {
  echo "FAIL: $*" >&2
  if [ -n "${failures+set}" ]; then
    failures=$((failures + 1))
    return 0
  fi
  if declare -F on_fail >/dev/null; then on_fail; fi
  if [ -n "${log:-}" ] && [ -f "$log" ]; then
    echo "--- program output" >&2
    cat "$log" >&2
  fi
  [ -n "${pid:-}" ] && kill -9 "$pid" 2>/dev/null
  exit 1
}

# finish WHAT: the closing line, and status 1 when any check of WHAT failed.
finish() {
  if [ "$failures" -ne 0 ]; then
    echo "$failures $1 check(s) failed"
    exit 1
  fi
  echo "all $1 checks passed"
}

# fresh_work_folder FOLDER: $work, emptied and made again; it stays for a look after a run.
fresh_work_folder() {
  work=$1
  rm -rf "$work"
  mkdir -p "$work"
}

# temp_work_folder: $work, a temporary folder removed when the script exits.
temp_work_folder() {
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
}
