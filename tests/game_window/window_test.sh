#!/usr/bin/env bash
# Runs inside xvfb-run on a 1280x1024 screen: the real game starts from a copy of the program
# folder, shows its menu, goes to the ranking screen and back, and ends on Escape with
# status 0 and without its running marker.
# Usage: window_test.sh <program folder of the build> <work folder>
set -u
dist=$1
work=$2
rm -rf "$work"
mkdir -p "$work"
game=$work/game
log=$work/game.log
mkdir -p "$game"
cp -r "$dist"/. "$game"/
rm -f "$game"/rvdat.cck "$game"/rvdat.dat "$game"/*.lock

fail() {
  echo "FAIL: $*"
  if [ -n "${pid:-}" ] && ! kill -0 "$pid" 2>/dev/null; then
    wait "$pid"
    echo "the game's exit status: $?"
  fi
  echo "--- game output"
  cat "$log"
  [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null
  exit 1
}

# The mean brightness (0..1) of the title's place on the screen: the 640 x 480 picture is
# scaled by 2 into 1280 x 960 with 32-pixel bars, so the title (70, 10) 501 x 150 lands at
# (140, 52) 1002 x 300.
title_brightness() {
  import -window root "$work/screen.png" 2>/dev/null || { echo 0; return; }
  convert "$work/screen.png" -crop 1002x300+140+52 -colorspace Gray -format "%[fx:mean]" info:
}

# A key held for 50 ms, timed inside one xdotool: the game polls its key flags every 20 ms,
# so a bare tap could fall between two polls, and a hold longer than a menu step (120 ms)
# would move the selection twice.
tap() {
  xdotool keydown "$1" sleep 0.05 keyup "$1"
}

# Started from another working folder: the game must find its files and marker by itself.
(cd / && exec "$game/rv_031") >"$log" 2>&1 &
pid=$!

wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Ravolin Ver 0\.31$' | head -n 1)
[ -n "$wid" ] || fail "no window named 'Ravolin Ver 0.31'"
[ -e "$game/rvdat.cck" ] || fail "no running marker while the game runs"

# About 9.5 s of logo, then the title.
menu=0
for _ in $(seq 60); do
  kill -0 "$pid" 2>/dev/null || fail "the game ended early"
  b=$(title_brightness)
  if awk -v b="$b" 'BEGIN { exit !(b > 0.02) }'; then menu=1; break; fi
  sleep 0.5
done
[ "$menu" -eq 1 ] || fail "the title never appeared"
echo "title shown (brightness $b)"
sleep 0.5

timeout 5 xdotool windowfocus --sync "$wid" || fail "cannot focus the window"
tap Down
sleep 0.5
tap x
sleep 3  # the jingle, then the ranking screen
cp "$work/screen.png" "$work/menu.png" 2>/dev/null
import -window root "$work/ranking.png" || fail "screenshot failed"
# The ranking screen is not the title: the title's place looks different now.
if cmp -s <(convert "$work/ranking.png" -crop 1002x300+140+52 rgb:-) \
          <(convert "$work/menu.png" -crop 1002x300+140+52 rgb:-); then
  fail "the ranking screen did not appear"
fi
kill -0 "$pid" 2>/dev/null || fail "the game ended on the ranking screen"
tap z
back=0
for _ in $(seq 20); do
  b=$(title_brightness)
  if cmp -s <(convert "$work/screen.png" -crop 1002x300+140+52 rgb:-) \
            <(convert "$work/menu.png" -crop 1002x300+140+52 rgb:-); then back=1; break; fi
  sleep 0.3
done
[ "$back" -eq 1 ] || fail "the title did not come back after the ranking"
echo "back at the title"

tap Escape
for _ in $(seq 100); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "the game did not end on Escape"
wait "$pid"
status=$?
[ "$status" -eq 0 ] || fail "the game ended with status $status"
[ -e "$game/rvdat.cck" ] && fail "the running marker is still there"
[ -e /rvdat.cck ] && fail "a marker was made in the working folder"
echo "PASS"
