#!/usr/bin/env bash
# Runs inside xvfb-run: the real game gets SIGHUP (the terminal that started it closed), then
# in a second run SIGQUIT (Ctrl+\ there) while its window is up, and each time ends through
# the regular shutdown: status 0, no core file, running marker gone (so the configuration
# dialog is not kept out), ranking as it was.
# Usage: hangup_test.sh <program folder of the build> <work folder>
source "$(dirname "$0")/game_window_lib.sh"
begin_window_test "$1" "$2"

for sig in HUP QUIT; do
  copy_program_folder_with_ranking "$dist"
  # A job started by a script ignores SIGINT and SIGQUIT; a game in a terminal does not.
  (cd "$work/game" && ulimit -c unlimited && exec env --default-signal=INT,QUIT ./rv_031) \
    >"$log" 2>&1 &
  pid=$!
  find_game_window
  [ -e "$work/game/rvdat.cck" ] || fail "no running marker while the game runs"
  sleep 1  # inside the logo's fade: a blocking wait, as every screen is
  kill -s "$sig" "$pid"
  expect_exit "SIG$sig"
  compgen -G "$work/game/core*" >/dev/null && fail "SIG$sig left a core file"
  echo "SIG$sig: status 0, marker gone, ranking unchanged"
  pid=
done
echo "PASS"
