#!/usr/bin/env bash
# Runs inside xvfb-run: another program destroys the game's window (xdotool windowclose, as a
# session manager or a crashed compositor might), once during the logo, while the game draws
# every frame, and once on the title, where it waits for keys and draws nothing. The game ends
# through the regular shutdown within 10 s: status 0, running marker gone, ranking as it was,
# a line on standard error and no report of Xlib's own, which would have ended it.
# Usage: window_destroyed_test.sh <program folder of the build> <work folder>
source "$(dirname "$0")/game_window_lib.sh"
begin_window_test "$1" "$2"

for moment in logo title; do
  copy_program_folder_with_ranking "$dist"
  "$work/game/rv_031" >"$log" 2>&1 &
  pid=$!
  find_game_window
  if [ "$moment" = logo ]; then sleep 1; else wait_for_title title && sleep 1; fi
  xdotool windowclose "$wid" || fail "$moment: the window could not be destroyed"
  ended_within 100 || fail "$moment: the game still runs 10 s after its window was destroyed"
  wait "$pid"
  expect_ended "$moment" $? 0
  grep -q '^Ravolin: the window was' "$log" || fail "$moment: no line on standard error"
  grep -q 'X Error of failed request' "$log" && fail "$moment: Xlib's handler reported an error"
  echo "window destroyed on the $moment: ended in ${took}00 ms, status 0, marker gone," \
       "ranking unchanged"
  pid=
done
echo "PASS"
