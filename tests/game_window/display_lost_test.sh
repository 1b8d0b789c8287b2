#!/usr/bin/env bash
# The X server goes away under the running game (here: it is killed). The game ends by
# itself, with status 1 and a line on standard error, removes its running marker (so the
# configuration dialog can start again) and leaves the ranking as it was.
# Usage: display_lost_test.sh <program folder of the build> <work folder>
source "$(dirname "$0")/game_window_lib.sh"
begin_window_test "$1" "$2"
pid=
server=

on_fail() {
  [ -n "$server" ] && kill -9 "$server" 2>/dev/null
}

# Our own server (xvfb-run would not let it be killed): the first free number from 140.
start_server() {
  for n in $(seq 140 199); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
    server=$!
    for _ in $(seq 50); do
      DISPLAY=":$n" xdotool getdisplaygeometry >/dev/null 2>&1 && { export DISPLAY=":$n"; return 0; }
      kill -0 "$server" 2>/dev/null || break
      sleep 0.1
    done
    kill -9 "$server" 2>/dev/null
    server=
  done
  fail "no X server could be started"
}

for how in KILL TERM; do
  copy_program_folder_with_ranking "$dist"
  start_server
  SDL_AUDIODRIVER=dummy "$work/game/rv_031" >"$log" 2>&1 &
  pid=$!
  find_game_window
  sleep 2  # the logo
  kill -s "$how" "$server"
  wait "$server" 2>/dev/null
  server=
  ended_within 100 || fail "the game still runs 10 s after its X server was killed (SIG$how)"
  wait "$pid"
  expect_ended "SIG$how to the X server" $? 1
  grep -q 'connection to the display was lost' "$log" || fail "no line on standard error"
  echo "X server ended by SIG$how: the game ended in ${took}00 ms, status 1, marker gone," \
       "ranking unchanged"
  pid=
done
echo "PASS"
