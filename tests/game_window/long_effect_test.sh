#!/usr/bin/env bash
# Runs inside xvfb-run: the menu's start item waits for "wave2" to play to its end.
#  1. A 30 KB wave that plays for 5 minutes (8-bit at 100 Hz) is no effect of ours: it is
#     refused with a line on standard error and plays as silence, so the selection screen
#     comes at once and Escape ends the game.
#  2. A 9 s wave is played and waited for; SIGTERM, and then in a second run Escape, end the
#     game from inside that wait, within 3 s, through the regular shutdown.
# Usage: long_effect_test.sh <program folder of the build> <work folder>
source "$(dirname "$0")/game_window_lib.sh"
begin_window_test "$1" "$2"

# Starts the game with the given wave2 and brings it to its menu; sets $pid and $wid.
start_at_menu() {
  copy_program_folder "$dist" "$work/game"
  write_wave "$work/game/Wave/wave2.dat" "$1" "$2"
  "$work/game/rv_031" >"$log" 2>&1 &
  pid=$!
  focus_at_title
}

# Ends with status 0 and no marker within 3 s of the stop; `what` names the stop.
expect_regular_end_within_3s() {
  ended_within 30 || fail "the game still runs 3 s after $1"
  wait "$pid"
  expect_ended "$1" $? 0
  echo "$1: ended in ${took}00 ms, status 0, marker gone"
}

# --- 1. five minutes of effect
start_at_menu 100 300
tap x  # the start item: wave2, waited for
sleep 2
grep -q 'wave2.dat: refused, 300000 ms long' "$log" || fail "no refusal on standard error"
tap Escape
expect_regular_end_within_3s "Escape after the refused effect"

# --- 2. nine seconds of effect, ended by SIGTERM and by Escape
for stop in SIGTERM Escape; do
  start_at_menu 8000 9
  tap x
  sleep 1  # inside the wait
  kill -0 "$pid" 2>/dev/null || fail "the game ended early"
  if [ "$stop" = SIGTERM ]; then kill -TERM "$pid"; else tap Escape; fi
  expect_regular_end_within_3s "$stop inside the wait"
done
echo "PASS"
