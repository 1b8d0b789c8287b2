#!/usr/bin/env bash
# Runs inside xvfb-run: the real game gets SIGHUP (the terminal that started it closed) while
# its window is up, and ends through the regular shutdown: status 0, running marker gone, so
# the configuration dialog is not kept out.
# Usage: hangup_test.sh <program folder of the build> <work folder>
source "$(dirname "$0")/game_window_lib.sh"
dist=$1
fresh_work_folder "$2"
copy_program_folder "$dist" "$work/game"
log=$work/game.log

"$work/game/rv_031" >"$log" 2>&1 &
pid=$!
wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Ravolin Ver ' | head -n 1)
[ -n "$wid" ] || fail "no game window"
[ -e "$work/game/rvdat.cck" ] || fail "no running marker while the game runs"
sleep 1  # inside the logo's fade: a blocking wait, as every screen is
kill -HUP "$pid"
wait_for_exit "the game still runs 10 s after SIGHUP"
status=$?
[ "$status" -eq 0 ] || fail "the game ended with status $status after SIGHUP"
[ -e "$work/game/rvdat.cck" ] && fail "the running marker is still there after SIGHUP"
echo "PASS"
