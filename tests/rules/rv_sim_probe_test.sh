#!/usr/bin/env bash
# Runs rv_sim as a user would and checks its answers, exit statuses and error lines.
source "$(dirname "$0")/../support/test_lib.sh"
sim="$1"
temp_work_folder
failures=0

empty_row='........................................'

# A board whose rows 0..27 are empty and whose bottom row is $1 (40 characters).
board_with_floor() {
  echo board
  for _ in $(seq 1 28); do echo "$empty_row"; done
  echo "$1"
}

# expect NAME STATUS EXPECTED_STDOUT -- rv_sim args... (standard input from $work/in)
expect() {
  local name="$1" status="$2" want="$3"
  shift 4
  local got rc
  got="$("$sim" "$@" <"$work/in" 2>"$work/err")"
  rc=$?
  if [[ $rc -ne $status || "$got" != "$want" ]]; then
    fail "$name: status $rc (want $status), output '$got' (want '$want')"
    cat "$work/err"
  fi
}

# expect_error NAME STATUS PATTERN -- args...: one line on stderr matching PATTERN.
expect_error() {
  local name="$1" status="$2" pattern="$3"
  shift 4
  "$sim" "$@" <"$work/in" >"$work/out" 2>"$work/err"
  local rc=$?
  local lines
  lines=$(wc -l <"$work/err")
  if [[ $rc -ne $status || $lines -ne 1 ]] || ! grep -q -- "$pattern" "$work/err"; then
    fail "$name: status $rc (want $status), stderr:"
    cat "$work/err"
  fi
}

# Lines of four: the player's along the right edge of the floor, the CPU's with a gap.
board_with_floor "2.22$(printf '.%.0s' $(seq 1 32))1111" >"$work/in"
expect four-lines 0 $'1 yes\n2 no' -- four

# A three of the CPU on the floor is completed in mode 1 (its left end comes first).
{ echo "mode 1"; echo "move_round 4"; board_with_floor '..............................222.......'; } >"$work/in"
expect cpu-completes-three 0 "R1 29 28" -- cpu --seed 3

# The CPU answers a first block in column 0 in column 1 whatever the seed.
for seed in 1 2 3 4 5 6; do
  { echo "chara_last 0 28"; echo "# the player's first block"; echo;
    board_with_floor "1$(printf '.%.0s' $(seq 1 39))"; } >"$work/in"
  expect "cpu-first-$seed" 0 "FIRST 1 28" -- cpu --seed "$seed"
done

# Same seed, same answer, for a random drop.
{ echo "mode 0"; echo "move_round 5"; board_with_floor '...........1212.........................'; } >"$work/in"
first="$("$sim" cpu --seed 77 <"$work/in")"
expect cpu-repeatable 0 "$first" -- cpu --seed 77

# The cursor stepped off the left edge stays in column 0; off an empty column into another it
# goes back.
{ echo "move_round 2"; echo "chara -1 28"; board_with_floor '....................1...................'; } >"$work/in"
expect settle-edge 0 "0 28" -- settle left
{ echo "move_round 2"; echo "chara 6 28"; board_with_floor '....................1...................'; } >"$work/in"
expect settle-refused 0 "5 28" -- settle right

# The worked example of the score.
printf 'mode 1\n60000 W 10\n' >"$work/in"
expect score-example 0 "score 53280 total_time 60000 total_moves 10" -- score
printf 'mode 2\n40000 W 6\n30000 L 8\n80000 W 10\n' >"$work/in"
expect score-three-rounds 0 "score 159562 total_time 150000 total_moves 24" -- score
printf '2147483647 W 5\n2147483647 L 5\n' >"$work/in"
expect_error score-overflow 1 "32 bits" -- score

# The ranking file: created, filled, and a score of 0 never enters.
: >"$work/in"
expect rank-first 0 "1" -- rank "$work/rvdat.dat" 1 1 53280 10 6000
[[ $(stat -c %s "$work/rvdat.dat") -eq 2160 ]] || fail "rank-size: $(stat -c %s "$work/rvdat.dat") bytes"
expect rank-second 0 "2" -- rank "$work/rvdat.dat" 1 1 100 10 6000
expect rank-zero 0 "-1" -- rank "$work/rvdat.dat" 1 1 0 10 6000

# Malformed input: exit status 2 and one line naming the line and the problem.
board_with_floor '.......................................' >"$work/in"
expect_error short-row 2 "line 30: .*39 characters" -- four
board_with_floor '.......................................x' >"$work/in"
expect_error unknown-char 2 "line 30: unknown character 'x'" -- four
{ echo "mode 3"; board_with_floor "$empty_row"; } >"$work/in"
expect_error mode-range 2 "line 1: mode 3 is out of range" -- cpu
{ echo "board"; for _ in $(seq 1 20); do echo "$empty_row"; done; } >"$work/in"
expect_error short-board 2 "line 22: the board ends after 20" -- four
{ board_with_floor "$empty_row"; echo "$empty_row"; } >"$work/in"
expect_error long-board 2 "line 31: unexpected" -- four
echo "mode 1" >"$work/in"
expect_error no-board 2 "no 'board'" -- four
{ echo "chara 41 28"; board_with_floor "$empty_row"; } >"$work/in"
expect_error chara-range 2 "line 1: chara x 41" -- settle none
{ echo "move_round 1"; board_with_floor "$empty_row"; } >"$work/in"
expect_error bad-direction 2 "command line" -- settle up
expect_error bad-seed 2 "command line" -- cpu --seed x
expect_error rank-args 2 "command line: rank needs" -- rank "$work/rvdat.dat" 1 1
expect_error rank-rounds 2 "ROUNDS 4" -- rank "$work/rvdat.dat" 1 4 5 5 5
expect_error unknown-command 2 "unknown command" -- fly
printf 'mode 1\n60000 X 10\n' >"$work/in"
expect_error score-winner 2 "line 2: winner 'X'" -- score
mkdir "$work/dir.dat"
expect_error rank-unreadable 1 "dir.dat" -- rank "$work/dir.dat" 1 1 5 5 5

# A step from off the board is no position of the game: refused, never settled.
{ echo "chara 0 28"; board_with_floor "$empty_row"; } >"$work/in"
expect_error settle-from-off-left 2 "command line: settle right cannot end in column 0" -- settle right
{ echo "chara 39 28"; board_with_floor "$empty_row"; } >"$work/in"
expect_error settle-from-off-right 2 "command line: settle left cannot end in column 39" -- settle left

# White space of any kind is blank: a line of a vertical tab or a form feed holds no key.
printf '\v\n\f\n' >"$work/in"
expect_error blank-vertical-tab 2 "line 3: the input has no 'board' line" -- four
expect_error blank-form-feed 2 "line 3: no rounds given" -- score

finish rv_sim
