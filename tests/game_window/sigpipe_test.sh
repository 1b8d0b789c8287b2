#!/usr/bin/env bash
# Runs inside xvfb-run: the game's standard error is a pipe nobody reads any more (as in
# `rv_031 2>&1 | true`) and the match track cannot be played, so start-up writes its line
# into a closed pipe. The game goes on to its title; SIGUSR1 and SIGUSR2 change nothing;
# Escape ends it through the regular shutdown: status 0, marker gone.
# Usage: sigpipe_test.sh <program folder of the build> <work folder>
source "$(dirname "$0")/game_window_lib.sh"
begin_window_test "$1" "$2"
copy_program_folder "$dist" "$work/game"
echo "(the game's standard error is the closed pipe)" >"$log"

printf 'not a track at all' >"$work/game/Music/ravolin.mp3"
mkfifo "$work/err"
exec 3<>"$work/err"  # a reader, so that the writer's open below does not wait
exec 4>"$work/err"
"$work/game/rv_031" 2>&4 3>&- 4>&- &
pid=$!
exec 3>&- 4>&-  # the last reader goes: every write of the game now meets a closed pipe
find_game_window
wait_for_title title
for s in USR1 USR2; do
  kill -s "$s" "$pid"
  sleep 0.5
  kill -0 "$pid" 2>/dev/null || fail "SIG$s ended the game"
done
timeout 5 xdotool windowfocus --sync "$wid" || fail "cannot focus the game"
tap Escape
expect_exit Escape
echo "PASS: wrote into a closed pipe, ignored SIGUSR1 and SIGUSR2, ended by Escape with status 0"
