#!/usr/bin/env bash
# rv_sim match: the same seed plays the same match (output and ranking file alike), another
# seed another one, the ranking goes to --dir, and a bad command line is refused.
set -e
source "$(dirname "$0")/../support/test_lib.sh"
sim="$1"
temp_work_folder

"$sim" match --mode 0 --rounds 3 --seed 9 --player greedy --dir "$work/a" >"$work/a.txt"
"$sim" match --mode 0 --rounds 3 --seed 9 --player greedy --dir "$work/b" >"$work/b.txt"
cmp -s "$work/a.txt" "$work/b.txt" || fail "the same seed gave different matches"
[ "$(grep -c '^round [123] winner \(player\|cpu\) moves [0-9]* time [0-9]*$' "$work/a.txt")" = 3 ] ||
  fail "not one line per round"
grep -q '^score [0-9][0-9]*$' "$work/a.txt" || fail "no score line"
grep -q '^place -\{0,1\}[0-9]$' "$work/a.txt" || fail "no place line"
if ! grep -q '^place -1$' "$work/a.txt"; then
  [ "$(wc -c <"$work/a/rvdat.dat")" -eq 2160 ] || fail "the ranking was not written to --dir"
  cmp -s "$work/a/rvdat.dat" "$work/b/rvdat.dat" || fail "the same seed wrote different rankings"
fi

"$sim" match --mode 0 --rounds 3 --seed 10 --player greedy >"$work/c.txt"
cmp -s "$work/a.txt" "$work/c.txt" && fail "another seed gave the same match"

status=0
"$sim" match --mode 0 --rounds 4 --seed 1 >/dev/null 2>&1 || status=$?
[ "$status" -eq 2 ] || fail "an even round count was not refused (status $status)"
status=0
"$sim" match --mode 0 --rounds 3 >/dev/null 2>&1 || status=$?
[ "$status" -eq 2 ] || fail "a match without a seed was not refused (status $status)"
echo "rv_sim match: ok"
