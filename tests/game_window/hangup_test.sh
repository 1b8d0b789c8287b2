#!/usr/bin/env bash
# Runs inside xvfb-run: the real game gets SIGHUP (the terminal that started it closed), then
# in a second run SIGQUIT (Ctrl+\ there) while its window is up, and each time ends through
# the regular shutdown: status 0, no core file, running marker gone (so the configuration
# dialog is not kept out), ranking as it was.
# Usage: hangup_test.sh <program folder of the build> <work folder>
source "$(dirname "$0")/game_window_lib.sh"
dist=$1
fresh_work_folder "$2"
log=$work/game.log

for sig in HUP QUIT; do
  copy_program_folder "$dist" "$work/game"
  write_ranking "$work/game/rvdat.dat"
  ranking_before=$(md5sum <"$work/game/rvdat.dat")
  # A job started by a script ignores SIGINT and SIGQUIT; a game in a terminal does not.
  (cd "$work/game" && ulimit -c unlimited && exec env --default-signal=INT,QUIT ./rv_031) \
    >"$log" 2>&1 &
  pid=$!
  wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Ravolin Ver ' | head -n 1)
  [ -n "$wid" ] || fail "no game window"
  [ -e "$work/game/rvdat.cck" ] || fail "no running marker while the game runs"
  sleep 1  # inside the logo's fade: a blocking wait, as every screen is
  kill -s "$sig" "$pid"
  wait_for_exit "the game still runs 10 s after SIG$sig"
  status=$?
  [ "$status" -eq 0 ] || fail "the game ended with status $status after SIG$sig"
  [ -e "$work/game/rvdat.cck" ] && fail "the running marker is still there after SIG$sig"
  [ "$(md5sum <"$work/game/rvdat.dat")" = "$ranking_before" ] || fail "SIG$sig: the ranking changed"
  compgen -G "$work/game/core*" >/dev/null && fail "SIG$sig left a core file"
  echo "SIG$sig: status 0, marker gone, ranking unchanged"
  pid=
done
echo "PASS"
