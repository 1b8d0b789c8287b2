#!/usr/bin/env bash
# Runs inside xvfb-run: a start-up box (Wave/wave3.dat missing, "起動エラー２") is open and
# the game waits for it. SIGTERM ends the box and the game within 3 s, status 1, no marker.
# With BOX_CANNOT_SHOW=1 the screen is one the box cannot be painted on (8 bits deep): the
# line on standard error stands for the box and the game ends by itself.
# Usage: box_signal_test.sh <program folder of the build> <work folder>
source "$(dirname "$0")/game_window_lib.sh"
begin_window_test "$1" "$2"

copy_program_folder "$dist" "$game"
rm "$game/Wave/wave3.dat"
"$game/rv_031" >"$log" 2>&1 &
pid=$!
if [ "${BOX_CANNOT_SHOW:-0}" = 1 ]; then
  ended_within 200 || fail "the game still waits 20 s after a box that cannot be shown"
  wait "$pid"
  status=$?
  [ "$status" -eq 1 ] || fail "the refused start ended with status $status"
  grep -q '起動エラー２: Ravolinの起動に必要なファイルが足りません！' "$log" ||
    fail "the line on standard error is missing"
  echo "PASS: no box on an 8-bit screen; the line on standard error, ended in ${took}00 ms"
  exit 0
fi
# SIGTERM to the game alone, then SIGQUIT to its whole process group, as Ctrl+\ in its
# terminal sends it: the box dies of it too, and no second box may take its place.
for how in TERM:game QUIT:group; do
  sig=${how%%:*}
  box=$(timeout 20 xdotool search --sync --onlyvisible --name '^起動エラー２$' | head -n 1)
  [ -n "$box" ] || fail "no box"
  sleep 1  # the game waits for the box
  kill -0 "$pid" 2>/dev/null || fail "the game did not wait for its box"
  if [ "${how#*:}" = group ]; then kill -s "$sig" -- "-$pid"; else kill -s "$sig" "$pid"; fi
  ended_within 30 || fail "the game still runs 3 s after SIG$sig to the ${how#*:}"
  wait "$pid"
  status=$?
  [ "$status" -eq 1 ] || fail "the refused start ended with status $status"
  [ -e "$game/rvdat.cck" ] && fail "a marker was left"
  xdotool search --onlyvisible --name '^起動エラー２$' >/dev/null && fail "the box is still shown"
  echo "SIG$sig to the ${how#*:} ended the box and the game in ${took}00 ms, status 1, no marker"
  [ "$sig" = QUIT ] && break
  # The next game in a process group of its own, its signals as in a terminal.
  set -m
  (cd "$game" && exec env --default-signal=INT,QUIT ./rv_031) >"$log" 2>&1 &
  pid=$!
  set +m
done
echo "PASS"
