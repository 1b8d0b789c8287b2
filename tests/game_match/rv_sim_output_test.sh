#!/usr/bin/env bash
# Every rv_sim command fails, with a line on stderr, when its results cannot be written:
# standard output closed, or a full device. The same for each command's --help (or -h), which
# prints that command's own usage on standard output.
. "$(dirname "$0")/rv_sim_checks.sh"

{
  echo board
  for _ in $(seq 1 28); do echo '........................................'; done
  echo '1122....................................'
} >"$work/position"
printf 'mode 1\n60000 W 10\n' >"$work/rounds"
: >"$work/none"
# Command | its standard input.
cases=(
  "four|position"
  "cpu --seed 1|position"
  "settle none|position"
  "score|rounds"
  "rank $work/rvdat.dat 0 1 5000 10 100|none"
  "match --mode 0 --rounds 1 --seed 3 --player greedy|none"
  "four --help|position"
  "cpu -h|none"
  "settle --help|none"
  "score -h|rounds"
  "rank --help|none"
  "match --mode 0 --help|none"
  "match -h|none"
)
for c in "${cases[@]}"; do
  cmd=${c%|*}
  input="$work/${c#*|}"
  # shellcheck disable=SC2086
  timeout 60 "$sim" $cmd <"$input" >"$work/out" 2>"$work/err"
  rc=$?
  if [ "$rc" -ne 0 ] || [ ! -s "$work/out" ]; then fail "$cmd: status $rc with a writable output"; fi
  case " $cmd " in
    *" --help "* | *" -h "*)
      head -1 "$work/out" | grep -q "^Usage: ravolin-sim ${cmd%% *}\( \|\$\)" ||
        fail "$cmd: not the usage of ${cmd%% *}: $(head -1 "$work/out")"
      ;;
  esac
  for target in closed /dev/full; do
    if [ "$target" = closed ]; then
      # shellcheck disable=SC2086
      timeout 60 "$sim" $cmd <"$input" >&- 2>"$work/err"
    else
      # shellcheck disable=SC2086
      timeout 60 "$sim" $cmd <"$input" >/dev/full 2>"$work/err"
    fi
    rc=$?
    [ "$rc" -eq 1 ] || fail "$cmd: status $rc with standard output $target"
    grep -q '^rv_sim: cannot write' "$work/err" ||
      fail "$cmd: stderr with standard output $target: $(cat "$work/err")"
  done
done

# A closed standard output never lends its number to a file the run writes: the ranking and
# the lock stay what they should be.
timeout 60 "$sim" match --mode 0 --rounds 1 --seed 3 --player greedy --dir "$work/d" >&- 2>/dev/null
[ "$(wc -c <"$work/d/rvdat.dat")" -eq 2160 ] || fail "stdout closed: the ranking is not 2160 bytes"
[ ! -s "$work/d/rv_031.lock" ] || fail "stdout closed: output went into the lock file"

finish "rv_sim output"
