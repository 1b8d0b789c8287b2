#!/usr/bin/env bash
# rv_sim match --dir enters its result into the folder's ranking under the game's lock on
# that folder: twenty runs at once keep every result that placed, a result that enters no list
# writes nothing, and a lock that stays held (a game running on the folder) fails the run with
# the ranking untouched.
. "$(dirname "$0")/rv_sim_checks.sh"
rounds_of=(1 3 5 7 9)

# The non-zero scores of a ranking file, one a line, sorted; nothing for a missing file.
scores() {
  [ -e "$1" ] || return 0
  od -An -v -t d4 -N 540 "$1" | tr -s ' ' '\n' | grep -v '^$' | grep -vx 0 | sort -n
}
# A ranking holding the given scores in places 1, 2, ... of difficulty 0, one-round matches.
ranking_with() {
  local file="$1" score
  shift
  rm -f "$file"
  for score in "$@"; do "$sim" rank "$file" 0 1 "$score" 10 100 >/dev/null || exit 1; done
}

# Twenty runs at once, four to each of five lists (so that none overflows its nine places).
concurrent() {
  local name="$1" d="$work/$1" i
  scores "$d/rvdat.dat" >"$d.expected"
  for i in $(seq 1 20); do
    (
      timeout 120 "$sim" match --mode 0 --rounds "${rounds_of[i % 5]}" --seed "$i" \
        --player greedy --dir "$d" >"$d.out$i" 2>"$d.err$i"
      echo $? >"$d.rc$i"
    ) &
  done
  wait
  local placed=0
  for i in $(seq 1 20); do
    [ "$(cat "$d.rc$i")" -eq 0 ] || fail "$name: run $i: status $(cat "$d.rc$i"): $(cat "$d.err$i")"
    place=$(sed -n 's/^place //p' "$d.out$i")
    [ -n "$place" ] || fail "$name: run $i printed no place"
    if [ -n "$place" ] && [ "$place" != -1 ]; then
      placed=$((placed + 1))
      sed -n 's/^score //p' "$d.out$i" >>"$d.expected"
    fi
  done
  sort -n "$d.expected" -o "$d.expected"
  scores "$d/rvdat.dat" >"$d.after"
  echo "$name: $placed of 20 runs placed, $(wc -l <"$d.after") entries in the ranking" \
    "($(wc -l <"$d.expected") expected)"
  [ "$placed" -ge 10 ] || fail "$name: only $placed runs placed"
  cmp -s "$d.expected" "$d.after" || fail "$name: the ranking does not hold every placed result"
}
mkdir "$work/two" "$work/empty"
ranking_with "$work/two/rvdat.dat" 90000 50
concurrent two
concurrent empty

# A result that enters no list leaves the folder as it was: no file made, none replaced.
full=(2147483647 2147483647 2147483647 2147483647 2147483647 2147483647 2147483647 2147483647
  2147483647)
seed_without_win=""
for s in $(seq 1 40); do
  if "$sim" match --mode 0 --rounds 1 --seed "$s" --player random | grep -qx 'score 0'; then
    seed_without_win=$s
    break
  fi
done
[ -n "$seed_without_win" ] || fail "no seed gave a match without a won round"
# Runs a match into folder $1 that must print place -1.
run_without_place() {
  local d="$work/$1"
  timeout 60 "$sim" match --mode 0 --rounds 1 --seed "$2" --player "$3" --dir "$d" \
    >"$d.out" 2>"$d.err"
  local rc=$?
  [ "$rc" -eq 0 ] || fail "$1: status $rc: $(cat "$d.err")"
  grep -qx 'place -1' "$d.out" || fail "$1: $(tr '\n' ' ' <"$d.out")"
}
mkdir "$work/full-list" "$work/no-win"
ranking_with "$work/full-list/rvdat.dat" "${full[@]}"
before=$(stat -c '%i %s %y' "$work/full-list/rvdat.dat")
run_without_place full-list 3 greedy
[ "$(stat -c '%i %s %y' "$work/full-list/rvdat.dat")" = "$before" ] ||
  fail "full-list: a ranking the result did not enter was rewritten"
run_without_place no-win "${seed_without_win:-1}" random
[ -z "$(ls -A "$work/no-win")" ] ||
  fail "no-win: a result of score 0 wrote into the folder: $(ls -A "$work/no-win")"

# A lock held the whole time: the run fails, says so on both streams, and writes nothing.
d="$work/held"
mkdir "$d"
ranking_with "$d/rvdat.dat" 500
cp "$d/rvdat.dat" "$work/held.before"
# The subshell becomes the sleep, the only holder of the lock.
(
  exec 9>"$d/rv_031.lock"
  flock -x 9 && touch "$work/held.ready" && exec sleep 60
) &
holder=$!
for _ in $(seq 1 200); do
  [ -e "$work/held.ready" ] && break
  sleep 0.05
done
timeout 60 "$sim" match --mode 0 --rounds 1 --seed 3 --player greedy --dir "$d" --lock-wait 1 \
  >"$d.out" 2>"$d.err"
rc=$?
kill "$holder" 2>/dev/null
wait "$holder" 2>/dev/null
[ "$rc" -eq 1 ] || fail "held lock: status $rc: $(cat "$d.err")"
grep -q '^error the ranking was not saved: cannot lock' "$d.out" ||
  fail "held lock: no failure on stdout: $(cat "$d.out")"
grep -q 'rv_031.lock' "$d.err" || fail "held lock: stderr does not name the lock: $(cat "$d.err")"
grep -q '^place' "$d.out" && fail "held lock: a place was printed for an unrecorded result"
cmp -s "$work/held.before" "$d/rvdat.dat" || fail "held lock: the ranking changed"
# Once the lock is free, the same run records its result.
timeout 60 "$sim" match --mode 0 --rounds 1 --seed 3 --player greedy --dir "$d" --lock-wait 5 \
  >"$d.out" 2>"$d.err" || fail "after the lock was freed: $(cat "$d.err")"
grep -qx 'place 1' "$d.out" || fail "after the lock was freed: $(tr '\n' ' ' <"$d.out")"

finish "rv_sim ranking lock"
