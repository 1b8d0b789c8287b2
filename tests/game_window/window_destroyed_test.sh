#!/usr/bin/env bash
# Runs inside xvfb-run: another program destroys the game's window (xdotool windowclose, as a
# session manager or a crashed compositor might), once during the logo, while the game draws
# every frame, and once on the title, where it waits for keys and draws nothing. The game ends
# through the regular shutdown within 10 s: status 0, running marker gone, ranking as it was,
# a line on standard error and no report of Xlib's own, which would have ended it.
# Usage: window_destroyed_test.sh <program folder of the build> <work folder>
source "$(dirname "$0")/game_window_lib.sh"
dist=$1
fresh_work_folder "$2"
log=$work/game.log

for moment in logo title; do
  copy_program_folder "$dist" "$work/game"
  write_ranking "$work/game/rvdat.dat"
  ranking_before=$(md5sum <"$work/game/rvdat.dat")
  "$work/game/rv_031" >"$log" 2>&1 &
  pid=$!
  wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Ravolin Ver ' | head -n 1)
  [ -n "$wid" ] || fail "no game window"
  if [ "$moment" = logo ]; then sleep 1; else wait_for_title title && sleep 1; fi
  xdotool windowclose "$wid" || fail "$moment: the window could not be destroyed"
  ended_within 100 || fail "$moment: the game still runs 10 s after its window was destroyed"
  wait "$pid"
  status=$?
  [ "$status" -eq 0 ] || fail "$moment: the game ended with status $status"
  [ -e "$work/game/rvdat.cck" ] && fail "$moment: the running marker stayed"
  [ "$(md5sum <"$work/game/rvdat.dat")" = "$ranking_before" ] || fail "$moment: the ranking changed"
  grep -q '^Ravolin: the window was' "$log" || fail "$moment: no line on standard error"
  grep -q 'X Error of failed request' "$log" && fail "$moment: Xlib's handler reported an error"
  echo "window destroyed on the $moment: ended in ${took}00 ms, status 0, marker gone," \
       "ranking unchanged"
  pid=
done
echo "PASS"
